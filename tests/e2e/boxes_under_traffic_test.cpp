// A box that a report opens inside a tick (the 0x8F-26 confirmation, the
// recorder's write failure) is shown after the tick, and while it stays open
// for 10 s the ticks go on: three ports read, logged and recorded, and the
// periodic queries sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <QLineEdit>
#include <QPushButton>

#include "core/main_window.h"
#include "link/frame_scanner.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "support/file_size_limit.h"
#include "support/monitor_gui.h"
#include "support/state_reset.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes PositionAt(float timeOfFix)
{
    Bytes m(kMaxPacketMessage);
    m.resize(EncodeReport4A(Report4A{0.5f, 0.5f, 10.0f, 0.0f, timeOfFix}, m.data()));
    return Frame(m);
}

// The ids of the frames in the bytes, in order.
std::vector<int> FrameIds(const Bytes& bytes)
{
    std::vector<int> ids;
    FrameScanner scanner;
    scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) { ids.push_back(p.id); });
    return ids;
}

TEST(BoxesUnderTraffic, TenSecondsUnderAnOpenBoxLoseNoRecordFrameOrQuery)
{
    struct Case {
        const char* box;
        bool recordingFails; // else a 0x8F-26 report opens the box
    };
    for (const Case& c : {Case{"Settings successfully saved to Flash.", false},
                          Case{"Unable to write to data record file.", true}}) {
        SCOPED_TRACE(c.box);
        ResetAllProgramState();
        TempDir dir;
        ScriptedUi ui;
        const DisplayAndMonitored lines = StartDisplayAndMonitored(); // COM3 shown, COM5 monitored
        ASSERT_NE(lines.display, nullptr);
        auto third = AttachFakeSerial(5);
        PortTable[5].monitored = 1;
        const std::vector<std::shared_ptr<FakeSerial::State>> ports = {lines.display, lines.monitored, third};
        Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
        Ui<QPushButton>(Form_Log, "Button_Start")->click();
        ui.fileNames.push_back(QString::fromStdString(dir.file("rec.zlk")));
        Form_LogZelk->Button_OpenClick();
        Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
        auto sendAll = [&](float t) {
            for (const auto& port : ports)
                Feed(*port, PositionAt(t));
        };
        sendAll(0.0f);
        Tick();

        std::unique_ptr<FileSizeLimit> full;
        if (c.recordingFails)
            full = std::make_unique<FileSizeLimit>(ReadFileBytes(dir.file("rec.zlk")).size());
        Form_Main->AutoQueryOn = true;
        TakeWritten(*lines.display);
        ui.whileOpen = [&](const ui::MessageRequest&) {
            full.reset(); // room on the disk again while the box is open
            for (int tick = 1; tick <= 50; ++tick) { // 10 s of the box's event loop
                if (tick % 5 == 0)
                    sendAll(static_cast<float>(tick / 5));
                Tick();
            }
        };
        Feed(*lines.display, Frame(c.recordingFails ? Bytes{0x46, 0, 0} : Bytes{0x8F, 0x26, 0, 0, 0, 0}));
        Tick();

        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text.toStdString(), c.box);
        std::string expected;
        for (int t = 0; t <= 10; ++t)
            expected += std::to_string(t) + ".00 \r\n";
        for (int com : {3, 5, 6})
            EXPECT_EQ(ReadFileText(dir.file("data" + std::to_string(com) + ".dat")), expected) << "COM" << com;
        std::vector<int> recorded(11, 0x4A);
        if (!c.recordingFails)
            recorded.insert(recorded.begin() + 1, 0x8F);
        EXPECT_EQ(FrameIds(ReadFileBytes(dir.file("rec.zlk"))), recorded);
        const std::vector<int> queries = FrameIds(TakeWritten(*lines.display));
        EXPECT_EQ(std::count(queries.begin(), queries.end(), 0x26), 10) << "health asked twice a second";
        EXPECT_EQ(std::count(queries.begin(), queries.end(), 0x24), 10) << "satellites asked twice a second";
        Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
        Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    }
}

} // namespace
