// Raw recording on the real path: bytes on the display port's line, the poll
// timer, the dispatch and the recorder, read back through the receive parser.
#include <gtest/gtest.h>

#include "support/main_ui.h"
#include "support/parsed_packets.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include "core/main_window.h"
#include "core/windows.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "logging/raw_recorder.h"
#include "logging/form_log_zelk.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_script_gui.h"

namespace {

using Packet = ParsedPacket;

std::vector<Packet> ParseFile(const std::string& path) { return ParseAllPackets(ReadFileBytes(path)); }

std::vector<uint8_t> Message(const Packet& p)
{
    std::vector<uint8_t> m(p.data.size() + 1);
    m[0] = static_cast<uint8_t>(p.id);
    std::copy(p.data.begin(), p.data.end(), m.begin() + 1);
    return m;
}

class Recording : public testing::Test {
protected:
    void SetUp() override
    {
        const DisplayAndMonitored lines = StartDisplayAndMonitored();
        display = lines.display;
        other = lines.monitored;
        ASSERT_NE(display, nullptr);
        path = dir.file("rec.zlk");
        ui.fileNames.push_back(QString::fromStdString(path));
        Form_LogZelk->Button_OpenClick();
    }

    void Send(FakeSerial::State& to, const std::vector<Packet>& packets)
    {
        for (const Packet& p : packets)
            Feed(to, Frame(Message(p)));
        Tick();
    }

    std::shared_ptr<FakeSerial::State> display, other;
    ScriptedUi ui;
    TempDir dir;
    std::string path;
};

TEST_F(Recording, FileHoldsExactlyTheDisplayPortsPacketsInOrder)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    const std::vector<Packet> first = {
        {0x4A, {0x10, 0x01, 0x10, 0x10, 0x03}}, {0x41, {}}, {0x99, {0xFF}}, // no decoder handles 0x99
    };
    const std::vector<Packet> second = {{0x58, std::vector<uint8_t>(511, 0x10)}, {0x8F, {0x15, 0x10}}};
    Send(*display, first);
    Send(*other, {{0x46, {0x00, 0x00}}}); // monitored, never recorded
    Send(*display, second);
    Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
    std::vector<Packet> expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(ParseFile(path), expected);
    EXPECT_EQ(ReadFileBytes(path).size(), 12u + 4 + 5 + 1026 + 7); // 3 DLEs doubled in the first
}

TEST_F(Recording, FramesAreOnDiskWhileRecordingRuns)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x41, {1, 2}}});
    EXPECT_EQ(ParseFile(path), (std::vector<Packet>{{0x41, {1, 2}}}));
    EXPECT_TRUE(Flags.RawRecordingOn);
}

TEST_F(Recording, AppendFollowsOldContentsAndOverwriteEmpties)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x41, {1}}});
    Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
    Ui<QCheckBox>(Form_LogZelk, "CheckBox_Append")->setChecked(true);
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x42, {2}}});
    Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
    EXPECT_EQ(ParseFile(path), (std::vector<Packet>{{0x41, {1}}, {0x42, {2}}}));
    Ui<QCheckBox>(Form_LogZelk, "CheckBox_Append")->setChecked(false);
    ui.answers = {ui::Answer::Yes}; // emptying a file that holds data is asked
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(Recording, NothingIsRecordedAfterStop)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
    Send(*display, {{0x41, {1}}});
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(Recording, ChangingTheDisplayPortContinuesTheFileWithTheNewPort)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x41, {3}}});
    DisplayPort = 5;
    Send(*other, {{0x41, {5}}});
    Send(*display, {{0x41, {9}}}); // COM3 is no longer shown nor monitored
    EXPECT_EQ(ParseFile(path), (std::vector<Packet>{{0x41, {3}}, {0x41, {5}}}));
}

TEST_F(Recording, ProgramEndClosesTheFileWithEveryFrame)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x41, {7}}, {0x42, {8}}});
    DestroyAllWindows();
    EXPECT_EQ(ParseFile(path), (std::vector<Packet>{{0x41, {7}}, {0x42, {8}}}));
}

// File > Quit in the running loop ends it although another window is open;
// the recording file is closed with its packets in it, and so are the ports.
TEST_F(Recording, FileQuitEndsTheProgramWithTheRecordingClosed)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    Send(*display, {{0x41, {1, 2}}});
    Form_LogZelk->showForm();
    QTimer::singleShot(0, MainAction("FileQuit"), &QAction::trigger);
    QTimer stuck; // a loop that did not end fails the test instead of hanging it
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(RawRecordFileOpen());
    EXPECT_FALSE(PortTable[2].open);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_EQ(ParseFile(path), (std::vector<Packet>{{0x41, {1, 2}}}));
}

} // namespace
