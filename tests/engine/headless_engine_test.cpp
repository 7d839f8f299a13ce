// The engine as the headless monitor runs it: no window, no display port,
// three pseudo-terminal receivers opened by device path, the periodic
// queries sent to every port and every port's reports decoded in full.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <thread>

#include "link/frame_scanner.h"
#include "link/framing.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "link/transmit_queue.h"
#include "model/port_reports.h"
#include "model/port_settings.h"
#include "monitor/data_log.h"
#include "monitor/monitor.h"
#include "monitor/position_logging.h"
#include "monitor/requests.h"
#include "support/pty.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Framed(const Bytes& message)
{
    Bytes out(2 * message.size() + 3);
    out.resize(BuildFrame(message.data(), message.size(), out.data()));
    return out;
}

template <class Report>
Bytes Encoded(const Report& report, size_t (*encode)(const Report&, uint8_t*))
{
    Bytes m(kMaxPacketMessage);
    m.resize(encode(report, m.data()));
    return Framed(m);
}

std::vector<int> FrameIds(const Bytes& bytes)
{
    std::vector<int> ids;
    FrameScanner scanner;
    scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) { ids.push_back(p.id); });
    return ids;
}

int Count(const std::vector<int>& ids, int id) { return static_cast<int>(std::count(ids.begin(), ids.end(), id)); }

TEST(HeadlessEngine, QueriesAndDecodesEveryPortWithoutADisplayPort)
{
    Monitor& engine = Monitor::Instance();
    engine.SetQueryEveryPort(true);
    int ticks = 0;
    const QMetaObject::Connection counting = QObject::connect(&engine, &Monitor::ticked, &engine, [&] { ++ticks; });
    PtyPair peers[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(peers[i].ok());
        OpenError error;
        ASSERT_TRUE(engine.OpenPortOn(i + 2, peers[i].devicePath(), error)) << error.reason;
    }
    ASSERT_EQ(DisplayPort, 0);
    for (PtyPair& peer : peers) {
        peer.Write(Encoded(Report4A{0.5f, -0.25f, 120.0f, 0.0f, 7.0f}, &EncodeReport4A));
        peer.Write(Encoded(Report41{100.0f, 2300, 18.0f}, &EncodeReport41));
        peer.Write(Framed({0x8F, 0x26, 0, 0, 0, 0})); // a box nobody can answer: told on stderr
        peer.Write(Framed({0x70, 1, 0, 1, 0}));       // settings are kept with no dialog to show them
    }
    for (int i = 0; i < 10; ++i) { // one 2-second cycle, each port's queue drained between ticks
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        engine.Tick();
        for (int wait = 0; wait < 50 && QueuedFrames(2) + QueuedFrames(3) + QueuedFrames(4) > 0; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            QCoreApplication::processEvents();
        }
    }
    QObject::disconnect(counting); // the counter dies with this test; the engine lives on
    EXPECT_EQ(ticks, 10);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i + 2);
        const std::vector<int> sent = FrameIds(peers[i].ReadAvailable(500, 100));
        EXPECT_EQ(Count(sent, 0x26), 2) << "health twice in the cycle";
        EXPECT_EQ(Count(sent, 0x24), 2) << "satellite selection twice";
        EXPECT_EQ(Count(sent, 0x3C), 2) << "tracking twice";
        const PortReportRecord& r = PortReports[static_cast<size_t>(i + 1)];
        EXPECT_EQ(r.positionId, 0x4A);
        EXPECT_NEAR(r.altM, 120.0, 1e-3);
        EXPECT_EQ(r.gpsWeek, 2300) << "a display-port report, decoded on every port";
        EXPECT_TRUE(PortTable[static_cast<size_t>(i + 1)].monitored);
        const Received<Report70>& filters = PortSettings[static_cast<size_t>(i + 1)].filters;
        EXPECT_NE(filters.revision, 0u);
        EXPECT_EQ(filters.value, (FilterRecord{1, 0, 1, 0}));
    }
    engine.CloseEveryPort();
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_FALSE(PortTable[static_cast<size_t>(slot)].open);
}

// The data logger with no window in the program: it reads its settings
// record at Start and at every record, and the position reports pace it.
TEST(HeadlessEngine, DataLoggerWritesFromItsSettingsRecord)
{
    Monitor& engine = Monitor::Instance();
    PtyPair peer;
    ASSERT_TRUE(peer.ok());
    OpenError error;
    ASSERT_TRUE(engine.OpenPortOn(3, peer.devicePath(), error)) << error.reason;
    QObject logger;
    LogPositionReports(&logger);
    TempDir dir;
    LogSettings& settings = DataLogSettings();
    settings.fileRoot = dir.file("data");
    settings.selection = {};
    settings.selection[static_cast<size_t>(LogField::Mode)] = true;
    settings.selection[static_cast<size_t>(LogField::DGPS)] = true;
    settings.intervalText = "2";
    PortReports[2].fixMode = 3;
    PortReports[2].dgpsMode = 2;
    PrepareDataLog(settings);
    Flags.DataLoggingOn = 1;
    auto fixesAt = [&](std::initializer_list<float> times) {
        for (float t : times)
            peer.Write(Encoded(Report4A{0.5f, -0.25f, 120.0f, 0.0f, t}, &EncodeReport4A));
        for (int wait = 0; wait < 100 && PortReports[2].fixTime != *std::rbegin(times); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            engine.Tick();
        }
    };
    fixesAt({10.0f, 11.0f, 12.0f}); // 11 is within the interval of 2 s
    EXPECT_EQ(ReadFileText(dir.file("data3.dat")), "3 2 \r\n3 2 \r\n");
    settings.selection[static_cast<size_t>(LogField::TOW)] = true;
    fixesAt({14.0f});
    EXPECT_EQ(ReadFileText(dir.file("data3.dat")), "3 2 \r\n3 2 \r\n14.00 3 2 \r\n");
    engine.CloseEveryPort();
}

} // namespace
