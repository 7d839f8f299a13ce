// Receivers that vanish: the far end of a real pseudo-terminal closed while
// the monitor reads a frame from it, while it sends its queries, and in the
// middle of an ephemeris upload. The monitor carries on: the vanished port
// is marked lost, the other ports keep being read and decoded, and the
// transfer ends with its own lines.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>
#include <thread>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "model/port_reports.h"
#include "link/frame_scanner.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/temp_dir.h"
#include "support/ui_script_gui.h"
#include "transfer/form_alm.h"
#include "transfer/reply_wait.h"

namespace {

using Bytes = std::vector<uint8_t>;

double ProgramRad(double deg) { return deg / RadToDeg; }

// A double-precision LLA report at the latitude, framed.
Bytes PositionFrame(double latDeg)
{
    Bytes m(kMaxPacketMessage);
    m.resize(EncodeReport84(Report84{ProgramRad(latDeg), ProgramRad(10.0), 100.0, 0.0, 1.0f}, m.data()));
    return Frame(m);
}

// Waits (bounded) until the slot's device has the bytes queued, then ticks.
void TickWhenQueued(int slot, size_t bytes, int ticks = 1)
{
    SerialDevice* device = PortTable[static_cast<size_t>(slot)].handle.get();
    for (int i = 0; i < 200 && device && device->QueuedInputBytes() < static_cast<int>(bytes); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Tick(ticks);
}

// Opens COM com on the pseudo-terminal, reached through link, as a monitored
// port, quiet (no search queries).
void OpenMonitored(int com, const PtyPair& pty, const std::string& link)
{
    PointLink(link, pty);
    SetComDevice(com, link);
    ASSERT_EQ(OpenSlot(com - 1), 0);
    PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
    port.monitored = 1;
    port.searchStep = 0;
}

class VanishingDevices : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(a.ok() && b.ok());
        display = StartMonitorOnFake(1);
        ASSERT_NE(display, nullptr);
        PortTable[0].searchStep = 0;
        Monitor::Instance().SetAutoQuery(false);
        OpenMonitored(2, a, dir.file("a"));
        OpenMonitored(3, b, dir.file("b"));
    }

    TempDir dir;
    PtyPair a, b;
    std::shared_ptr<FakeSerial::State> display;
    ScriptedUi ui;
};

TEST_F(VanishingDevices, PortThatVanishesMidFrameIsLostAndTheOthersGoOn)
{
    const Bytes frame = PositionFrame(20.0);
    const size_t half = frame.size() / 2;
    ASSERT_TRUE(a.Write(Bytes(frame.begin(), frame.begin() + static_cast<long>(half))));
    TickWhenQueued(1, half);
    Unplug(a, dir.file("a")); // the receiver is unplugged mid-frame
    Tick(3);

    ASSERT_TRUE(b.Write(PositionFrame(30.0)));
    TickWhenQueued(2, frame.size());
    EXPECT_NEAR(PortReports[2].latDeg, 30.0, 1e-9);
    EXPECT_EQ(PortReports[1].latDeg, 0.0); // the half frame was never decoded

    Feed(*display, PositionFrame(40.0));
    Tick();
    EXPECT_EQ(MainPanel("Panel_LatDeg")->text(), QString("40\u00B0"));

    // Through two housekeepings: the vanished port is lost (red), the live one green.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(b.Write(PositionFrame(31.0 + i)));
        TickWhenQueued(2, frame.size());
    }
    EXPECT_NEAR(PortReports[2].latDeg, 50.0, 1e-9);
    EXPECT_TRUE(PortTable[1].lost);
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->colour(), Colours::Red);
    EXPECT_EQ(MainPanel("Panel_MonCom", 2)->colour(), Colours::Lime);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(VanishingDevices, QueriesToAVanishedPortAreDroppedAndTheOthersGetTheirs)
{
    Unplug(b, dir.file("b"));
    // The search sequence writes its queries to both ports, the periodic
    // queries go to the display port.
    PortTable[1].searchStep = 2;
    PortTable[2].searchStep = 2;
    Monitor::Instance().SetAutoQuery(true);
    Tick(10);
    EXPECT_FALSE(TakeWritten(*display).empty());

    // The live port got its queries: version, then DGPS mode, I/O options, datum and time.
    const Bytes got = a.ReadAvailable(500, 50);
    const Bytes version = Frame({0x1F});
    ASSERT_GE(got.size(), version.size());
    EXPECT_TRUE(std::equal(version.begin(), version.end(), got.begin()));
    ASSERT_TRUE(a.Write(PositionFrame(-5.0)));
    TickWhenQueued(1, PositionFrame(-5.0).size());
    EXPECT_NEAR(PortReports[1].latDeg, -5.0, 1e-9);
    EXPECT_TRUE(ui.boxes.empty());
}

// The display port on a pseudo-terminal whose receiver answers the first
// ephemeris load and then vanishes: the other loads get no reply and the
// upload ends; the monitor resumes.
TEST(VanishingDisplayPort, UploadWhoseReceiverVanishesEndsWithItsOwnLines)
{
    PtyPair receiver;
    ASSERT_TRUE(receiver.ok());
    TempDir dir;
    PointLink(dir.file("receiver"), receiver);
    SetComDevice(1, dir.file("receiver"));
    DisplayPort = 1;
    ASSERT_TRUE(StartMonitorOnDevice());
    ScriptedUi ui;
    Bytes file;
    for (uint8_t sv = 1; sv <= 3; ++sv) {
        const Bytes block = {0x82, 0x06, sv, 0x02, 0x11, sv, 0x83};
        file.insert(file.end(), block.begin(), block.end());
    }
    WriteFileText(dir.file("eph.dat"), std::string(file.begin(), file.end()));

    // The wait's clock is virtual; between its polls the receiver acts: it
    // acknowledges the first load and vanishes when the second arrives.
    std::chrono::milliseconds elapsed{0};
    int loads = 0;
    bool gone = false;
    FrameScanner scanner;
    ReplyWait().now = [&] { return ReplyWaitTiming::Clock::time_point{} + elapsed; };
    ReplyWait().pause = [&](std::chrono::milliseconds d) {
        elapsed += d;
        if (gone)
            return;
        const Bytes in = receiver.ReadAvailable(5, 5);
        scanner.Feed(in.data(), in.size(), [&](const ScannedPacket& p) {
            if (p.id != 0x38 || p.length < 3 || p.data[0] != 0x02)
                return;
            if (++loads == 1) {
                receiver.Write(Frame({0x58, 0x01, 0x06, 0x01}));
            } else {
                Unplug(receiver, dir.file("receiver"));
                gone = true;
            }
        });
    };
    ui.fileNames.push_back(QString::fromStdString(dir.file("eph.dat")));
    Form_Main->InitializeEphemerisClick();
    EXPECT_EQ(loads, 2);

    const QStringList lines = Ui<QPlainTextEdit>(Form_Alm, "Memo_Alm")->toPlainText().split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{"Ephemeris data for SV 01...", "   Data block acknowledged",
                                  "Ephemeris data for SV 02...", "   No reply to data block",
                                  "Ephemeris data for SV 03...", "   No reply to data block",
                                  "Ephemeris data load complete."}));
    EXPECT_TRUE(Monitor::Instance().IsRunning());
    Monitor::Instance().Stop();
    Tick(12); // the periodic queries go to a vanished device
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
