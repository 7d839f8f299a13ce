// Data logging on the real path: position, tracking and health reports on the
// lines of a display port (COM3) and a monitored port (COM5), the poll timer,
// the dispatch, and log files read back from disk.
//
// The program's own decoders store what the logger reads and pace records by
// reports: the first position kind after Start binds the port.
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/main_window.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "link/shared_flags.h"
#include "monitor/data_log.h"
#include "logging/form_log.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

PortReportRecord& Reports(const PortRecord& port) { return PortReports[static_cast<size_t>(port.slot)]; }

std::vector<uint8_t> WithFloat(std::vector<uint8_t> message, size_t at, float value)
{
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        message[1 + at + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (24 - 8 * i));
    return message;
}

std::vector<uint8_t> Position(int id, float tow)
{
    const size_t length = id == 0x42 ? 16 : id == 0x4A ? 20 : 36;
    std::vector<uint8_t> m(length + 1, 0);
    m[0] = static_cast<uint8_t>(id);
    return WithFloat(m, length - 4, tow);
}

std::vector<uint8_t> Tracking(int channel, uint8_t prn, float level)
{
    std::vector<uint8_t> m(25, 0);
    m[0] = 0x5C;
    m[1] = prn;
    m[2] = static_cast<uint8_t>(channel << 3);
    return WithFloat(m, 4, level);
}

class DataLog : public testing::Test {
protected:
    void SetUp() override
    {
        PortReports.fill(PortReportRecord{});
        const DisplayAndMonitored lines = StartDisplayAndMonitored();
        display = lines.display;
        other = lines.monitored;
        ASSERT_NE(display, nullptr);
        SetRoot(dir.file("data"));
    }
    void TearDown() override { PortReports.fill(PortReportRecord{}); }

    void SetRoot(const std::string& root)
    {
        Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(root));
    }
    void Start() { Ui<QPushButton>(Form_Log, "Button_Start")->click(); }
    void Send(FakeSerial::State& to, const std::vector<uint8_t>& message)
    {
        Feed(to, Frame(message));
        Tick();
    }
    void SendTimes(FakeSerial::State& to, int id, std::initializer_list<float> times)
    {
        for (float t : times)
            Send(to, Position(id, t));
    }
    std::string Log(int com) { return ReadFileText(dir.file("data" + std::to_string(com) + ".dat")); }

    std::shared_ptr<FakeSerial::State> display, other;
    ScriptedUi ui;
    TempDir dir;
};

TEST_F(DataLog, DefaultsWriteOneTimeOfWeekLinePerSecond)
{
    Start();
    SendTimes(*display, 0x4A, {345600.0f, 345601.0f, 345602.0f});
    EXPECT_EQ(Log(3), "345600.00 \r\n345601.00 \r\n345602.00 \r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "3");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Data")->caption(), " 345602.00");
    EXPECT_EQ(Form_Main->Panel_LogStatus->colour(), Colours::Yellow);
    // 345602 s after a start time of 0: day 4, 00:00:02.
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Duration")->caption(), " 4 00:00:02");
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), " 4 00:00:02");
    Send(*display, Position(0x4A, 345602.5f)); // within the interval: no record
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "3");
    EXPECT_EQ(Form_Main->Panel_LogStatus->colour(), Colours::Lime);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DataLog, StartTimeAndDurationCountFromTheFixBeforeStart)
{
    Send(*display, Position(0x4A, 345600.0f)); // Thursday 00:00, before logging
    Start();
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_StartTime")->caption(), " Thu 00:00:00.00");
    SendTimes(*display, 0x4A, {345600.0f, 345661.5f});
    EXPECT_EQ(Log(3), "345600.00 \r\n345661.50 \r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Duration")->caption(), " 0 00:01:02"); // 61.5 s shown to whole seconds
}

TEST_F(DataLog, MonitoredPortsHaveTheirOwnFiles)
{
    Start();
    Send(*other, Position(0x42, 100.0f));
    Send(*display, Position(0x4A, 200.0f));
    EXPECT_EQ(Log(5), "100.00 \r\n");
    EXPECT_EQ(Log(3), "200.00 \r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "1"); // only the active port counts
}

TEST_F(DataLog, BoxesCheckedInTheWindowChooseTheValues)
{
    Ui<QPushButton>(Form_Log, "Button_SelectClear")->click();
    Ui<QCheckBox>(Form_Log, "CheckBox_Mode")->setChecked(true);
    Ui<QCheckBox>(Form_Log, "CheckBox_DGPS")->setChecked(true);
    Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->setChecked(true);
    Reports(PortTable[2]).fixMode = 3;
    Reports(PortTable[2]).dgpsMode = 2;
    Start();
    // The fix carries a clock bias of -1.5 m: -1.5e9 / 299792458 ns.
    Send(*display, WithFloat(Position(0x4A, 10.0f), 12, -1.5f));
    EXPECT_EQ(Log(3), "-5.003461 3 2 \r\n");
    Form_Log->Button_StopClick();
    Ui<QPushButton>(Form_Log, "Button_SelectClear")->click();
    ui.answers = {ui::Answer::Yes}; // the file holds the first run: emptying it is asked
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    Send(*display, Position(0x4A, 11.0f));
    EXPECT_EQ(Log(3), "\r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "1");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Data")->caption(), " ");
}

TEST_F(DataLog, WeakestLevelBetweenRecordsIsLoggedWithItsPrn)
{
    Ui<QCheckBox>(Form_Log, "CheckBox_TOW")->setChecked(false);
    Ui<QCheckBox>(Form_Log, "CheckBox_Levels")->setChecked(true);
    Start();
    Send(*display, Position(0x4A, 100.0f)); // first record restarts the latch
    Send(*display, Tracking(0, 5, 40.0f));
    Send(*display, Tracking(0, 6, 35.0f));
    Send(*display, Tracking(0, 7, 38.0f));
    Reports(PortTable[2]).fixSvs = {6, 0, 0, 0, 0, 0, 0, 0};
    Send(*display, Position(0x4A, 101.0f));
    const std::string empty7 = "0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 ";
    EXPECT_EQ(Log(3), "0 0.0 " + empty7 + "\r\n" + "134 35.0 " + empty7 + "\r\n");
    EXPECT_EQ(Reports(PortTable[2]).chanPrn[0], 0);
    EXPECT_EQ(Reports(PortTable[2]).chanLevel[0], 0.0f);
    // Without a report since, the channel keeps its pair; a new report restarts it.
    Send(*display, Position(0x4A, 102.0f));
    Send(*display, Tracking(0, 9, 44.0f));
    Send(*display, Position(0x4A, 103.0f));
    const std::string lines = Log(3);
    EXPECT_EQ(lines, "0 0.0 " + empty7 + "\r\n" + "134 35.0 " + empty7 + "\r\n" + "134 35.0 " + empty7 + "\r\n" +
                         "9 44.0 " + empty7 + "\r\n");
}

TEST_F(DataLog, LatchRestartsWhileLoggingIsOff)
{
    PortTable[2].monitored = 1;
    Send(*display, Tracking(1, 4, 30.0f));
    Send(*display, Position(0x4A, 5.0f)); // logging off: only the restart
    Send(*display, Tracking(1, 8, 45.0f));
    EXPECT_EQ(Reports(PortTable[2]).latchedPrn[1], 8);
    EXPECT_EQ(Reports(PortTable[2]).latchedLevel[1], 45.0f);
    EXPECT_FALSE(FileExists(dir.file("data3.dat")));
}

TEST_F(DataLog, WeekEndKeepsTheInterval)
{
    Ui<QLineEdit>(Form_Log, "Edit_Interval")->setText("2");
    Start();
    SendTimes(*display, 0x4A, {604797.0f, 604798.0f, 604799.0f, 0.0f, 1.0f, 2.0f, 3.0f});
    EXPECT_EQ(Log(3), "604797.00 \r\n604799.00 \r\n1.00 \r\n3.00 \r\n");
}

TEST_F(DataLog, WithoutAppendStartEmptiesOnlyTheFilesOfMonitoredPorts)
{
    auto seventh = AttachFakeSerial(6);
    for (int com : {3, 5, 7})
        WriteFileText(dir.file("data" + std::to_string(com) + ".dat"), "old\r\n");
    ui.answers = {ui::Answer::Yes};
    Start();
    ASSERT_EQ(ui.boxes.size(), 1u); // one question for both files
    EXPECT_NE(ui.boxes[0].text.indexOf(QString::fromStdString(dir.file("data5.dat"))), -1);
    EXPECT_EQ(Log(3), "");
    EXPECT_EQ(Log(5), "");
    EXPECT_EQ(Log(7), "old\r\n");
    PortTable[6].monitored = 1; // monitored later: appends
    Send(*seventh, Position(0x4A, 50.0f));
    EXPECT_EQ(Log(7), "old\r\n50.00 \r\n");
}

TEST_F(DataLog, WithAppendStartKeepsTheFiles)
{
    WriteFileText(dir.file("data3.dat"), "old\r\n");
    Ui<QCheckBox>(Form_Log, "CheckBox_Append")->setChecked(true);
    Start();
    Send(*display, Position(0x4A, 50.0f));
    EXPECT_EQ(Log(3), "old\r\n50.00 \r\n");
}

TEST_F(DataLog, BrowsedFileReplacesOnlyTheActivePortsFile)
{
    ui.fileNames.push_back(QString::fromStdString(dir.file("mine.dat")));
    Ui<QPushButton>(Form_Log, "Button_Browse")->click();
    Start();
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Filename")->caption().toStdString(), " " + dir.file("mine.dat"));
    Send(*display, Position(0x4A, 7.0f));
    Send(*other, Position(0x4A, 8.0f));
    EXPECT_EQ(ReadFileText(dir.file("mine.dat")), "7.00 \r\n");
    EXPECT_EQ(Log(5), "8.00 \r\n");
    EXPECT_FALSE(FileExists(dir.file("data3.dat")));
}

TEST_F(DataLog, FirstPositionKindAfterStartPacesThePort)
{
    Start();
    Send(*display, Position(0x84, 100.0f));
    Send(*display, Position(0x4A, 101.0f));
    Send(*display, Position(0x84, 102.0f));
    Send(*display, Position(0x4A, 103.0f));
    EXPECT_EQ(Log(3), "100.00 \r\n102.00 \r\n");
    EXPECT_EQ(LogTriggerId[2], 0x84);
    // A new run unbinds every port: the next first kind binds again.
    Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    Ui<QCheckBox>(Form_Log, "CheckBox_Append")->setChecked(true);
    Start();
    EXPECT_EQ(LogTriggerId[2], 0);
    Send(*display, Position(0x4A, 105.0f));
    Send(*display, Position(0x84, 106.0f));
    Send(*display, Position(0x4A, 107.0f));
    EXPECT_EQ(Log(3), "100.00 \r\n102.00 \r\n105.00 \r\n107.00 \r\n");
}

TEST_F(DataLog, SystemTimerKeepsLoggingWhileHealthIsBad)
{
    Start();
    Send(*display, Position(0x4A, 100.0f));
    Form_Log->Timer_SystemTimer(); // health 0 and report pacing: nothing
    Reports(PortTable[2]).healthCode = 3;
    Form_Log->Timer_SystemTimer();
    Form_Log->Timer_SystemTimer();
    EXPECT_EQ(Log(3), "100.00 \r\n100.00 \r\n100.00 \r\n");
    Flags.TransferRunning = 1; // nothing is decoded during a transfer: nothing to log
    Form_Log->Timer_SystemTimer();
    Flags.TransferRunning = 0;
    EXPECT_EQ(Log(3), "100.00 \r\n100.00 \r\n100.00 \r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Duration")->caption(), " 0 00:01:42"); // fix 100 + 2 counted seconds since 0
    Send(*display, Position(0x4A, 101.0f)); // a fix clears the counted seconds
    EXPECT_EQ(LogPorts[2].TicksSinceFix, 0.0f);
    EXPECT_EQ(Log(3), "100.00 \r\n100.00 \r\n100.00 \r\n101.00 \r\n");
}

TEST_F(DataLog, UseSystemTimerPacesByTheTimerOnly)
{
    Ui<QCheckBox>(Form_Log, "CheckBox_SystemTimer")->setChecked(true);
    Start();
    EXPECT_EQ(LogByReports, 0);
    Send(*display, Position(0x4A, 200.0f));
    EXPECT_EQ(Log(3), ""); // reports alone write nothing
    Form_Log->Timer_SystemTimer();
    Form_Log->Timer_SystemTimer(); // no new fix: no record
    Send(*display, Position(0x4A, 201.0f));
    Form_Log->Timer_SystemTimer();
    EXPECT_EQ(Log(3), "200.00 \r\n201.00 \r\n");
}

TEST_F(DataLog, TimerDoesNothingWhileStopped)
{
    Reports(PortTable[4]).healthCode = 1;
    Form_Log->Timer_SystemTimer();
    EXPECT_EQ(LogPorts[4].TicksSinceFix, 0.0f);
    EXPECT_FALSE(FileExists(dir.file("data5.dat")));
}

TEST_F(DataLog, UnwritableFileIsToldOnceAndTheOtherPortsGoOn)
{
    SetRoot(dir.file("missing/data"));
    ui.fileNames.push_back(QString::fromStdString(dir.file("mine.dat")));
    Ui<QPushButton>(Form_Log, "Button_Browse")->click();
    Start(); // emptying data5.dat fails already
    for (float t : {1.0f, 2.0f, 3.0f}) {
        Send(*display, Position(0x4A, t));
        Send(*other, Position(0x4A, t));
    }
    EXPECT_EQ(ReadFileText(dir.file("mine.dat")), "1.00 \r\n2.00 \r\n3.00 \r\n");
    const std::string told = Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString();
    const std::string name = dir.file("missing/data5.dat");
    EXPECT_EQ(told, "Unable to write " + name);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "3");
    // A new run clears the notice.
    Form_Log->Button_StopClick();
    SetRoot(dir.file("data"));
    ui.answers = {ui::Answer::Yes}; // data3.dat holds the first run
    Start();
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption(), "");
}

TEST_F(DataLog, UnwritableActiveFileIsNotCounted)
{
    SetRoot(dir.file("missing/data"));
    Ui<QCheckBox>(Form_Log, "CheckBox_Append")->setChecked(true);
    Start();
    Send(*display, Position(0x4A, 1.0f));
    Send(*display, Position(0x4A, 2.0f));
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "0");
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString(),
              "Unable to write " + dir.file("missing/data3.dat"));
}

TEST_F(DataLog, LongFileRootIsUsedWhole)
{
    std::string deep = dir.path();
    for (int i = 0; i < 3; ++i) {
        deep += "/" + std::string(50, static_cast<char>('k' + i));
        std::filesystem::create_directory(deep);
    }
    const std::string root = deep + "/" + std::string(40, 'r');
    ASSERT_GT(root.size() + 6, 127u);
    SetRoot(root);
    Start();
    Send(*display, Position(0x4A, 9.0f));
    EXPECT_EQ(ReadFileText(root + "3.dat"), "9.00 \r\n");
}

TEST_F(DataLog, ClosingTheWindowKeepsLoggingAndStopEndsIt)
{
    Start();
    Ui<QPushButton>(Form_Log, "Button_Cancel")->click();
    Send(*display, Position(0x4A, 1.0f));
    Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    Send(*display, Position(0x4A, 2.0f));
    EXPECT_EQ(Log(3), "1.00 \r\n");
}

} // namespace

namespace {

TEST_F(DataLog, StartWithoutDisplayPortLogsTheMonitoredPorts)
{
    DisplayPort = 0;
    Start();
    EXPECT_EQ(LogRun().activePort, -1);
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_Filename")->caption(), " ");
    Send(*other, Position(0x4A, 4.0f));
    EXPECT_EQ(Log(5), "4.00 \r\n");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "0");
}

} // namespace
