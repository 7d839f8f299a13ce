// The data logging window: controls and defaults, the selection buttons and
// the exclusive pairs, Browse and Clear, Start and Stop with the main
// window's status panels, and the bias box that the position reports drive.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/main_window.h"
#include "link/shared_flags.h"
#include "logging/data_log.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_script_gui.h"

namespace {

class LogWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(3), nullptr);
        f().Edit_FileRoot->setText(QString::fromStdString(dir.file("data")));
    }

    TForm_Log& f() { return *Form_Log; }
    std::vector<bool> Checked()
    {
        std::vector<bool> v;
        for (QCheckBox* b : f().CheckBoxes)
            v.push_back(b->isChecked());
        return v;
    }

    ScriptedUi ui;
    TempDir dir;
};

TEST_F(LogWindow, StartsWithItsDefaults)
{
    EXPECT_EQ(f().windowTitle(), "Data Logging Setup and Status");
    EXPECT_EQ(f().size(), QSize(473, 362));
    const char* captions[] = {"Time of Week (s) ", "Bias (ns) ", "Bias Rate (ppb) ", "Signal Levels ",
                              "Position LLA ", "Position XYZ", "Velocity ENU", "Velocity XYZ",
                              "Receiver Mode", "Health", "DGPS Mode", "DOPs"};
    for (size_t i = 0; i < f().CheckBoxes.size(); ++i)
        EXPECT_EQ(f().CheckBoxes[i]->text(), captions[i]);
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false, false, false, false, false,
                                             false, false}));
    EXPECT_EQ(f().CheckBox_SystemTimer->text(), "Use System Timer");
    EXPECT_FALSE(f().CheckBox_SystemTimer->isChecked());
    EXPECT_EQ(f().CheckBox_Append->text(), "Append to Log File");
    EXPECT_FALSE(f().CheckBox_Append->isChecked());
    EXPECT_EQ(f().Edit_Interval->text(), "1");
    EXPECT_EQ(f().Label_OnOff->caption(), "Off");
    EXPECT_EQ(f().Shape_OnOff->fill(), Colours::Grey);
    EXPECT_EQ(f().Panel_DataSets->caption(), "0");
    EXPECT_EQ(f().Panel_StartTime->caption(), "0");
    EXPECT_EQ(f().Panel_Duration->caption(), "0");
    EXPECT_EQ(f().Panel_Data->caption(), "");
    EXPECT_EQ(f().Button_SelectAll->text(), "&All");
    EXPECT_EQ(f().Button_SelectClear->text(), "Clea&r");
    EXPECT_EQ(f().Button_Browse->text(), "&Browse");
    EXPECT_EQ(f().Button_Clear->text(), "C&lear");
    EXPECT_EQ(f().Button_Start->text(), "&Start");
    EXPECT_EQ(f().Button_Stop->text(), "Sto&p");
    EXPECT_EQ(f().Button_Cancel->text(), "&Close");
    EXPECT_TRUE(f().Timer_System->isActive());
    EXPECT_EQ(f().Timer_System->interval(), 1000);
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), "Logging Off");
    EXPECT_EQ(HintOf(Form_Main->Panel_LogStatus), "Data Logging: Active when green; Logged that second when yellow;");
}

TEST_F(LogWindow, MenuAndStatusPanelsOpenItAndCloseHides)
{
    Form_Main->LoggingData->trigger();
    EXPECT_TRUE(f().isVisible());
    f().Button_Cancel->click();
    EXPECT_FALSE(f().isVisible());
    emit Form_Main->Panel_Record->clicked();
    EXPECT_TRUE(f().isVisible());
    f().hide();
    emit Form_Main->Panel_LogStatus->clicked();
    EXPECT_TRUE(f().isVisible());
}

TEST_F(LogWindow, AllLeavesPositionLlaAndVelocityEnuUnchecked)
{
    f().Button_SelectAll->click();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, true, true, true, false, true, false, true, true, true, true, true}));
    f().Button_SelectClear->click();
    EXPECT_EQ(Checked(), std::vector<bool>(12, false));
}

TEST_F(LogWindow, PositionAndVelocityPairsExcludeEachOther)
{
    f().CheckBox_PosXYZ->setChecked(true);
    f().CheckBox_PosLLA->click();
    EXPECT_TRUE(f().CheckBox_PosLLA->isChecked());
    EXPECT_FALSE(f().CheckBox_PosXYZ->isChecked());
    f().CheckBox_VelENU->setChecked(true);
    f().CheckBox_VelXYZ->setChecked(true);
    EXPECT_FALSE(f().CheckBox_VelENU->isChecked());
    f().CheckBox_VelXYZ->setChecked(false);
    EXPECT_FALSE(f().CheckBox_VelENU->isChecked()); // unchecking one leaves the other alone
}

TEST_F(LogWindow, BrowseCancelAndClear)
{
    f().Button_Browse->click(); // cancelled, nothing chosen yet
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Select Data File");
    EXPECT_EQ(ui.fileRequests[0].filter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "dat");
    EXPECT_EQ(ui.fileRequests[0].initialName, " ");
    EXPECT_EQ(f().Panel_Filename->caption(), "");
    ui.fileNames.push_back("/tmp/x/mine.dat");
    f().Button_Browse->click();
    EXPECT_EQ(f().Panel_Filename->caption(), "/tmp/x/mine.dat");
    f().Button_Browse->click(); // cancelled: the choice stays
    EXPECT_EQ(f().Panel_Filename->caption(), "/tmp/x/mine.dat");
    ASSERT_TRUE(LogRun().browsedFileName.has_value());
    f().Button_Clear->click();
    EXPECT_EQ(f().Panel_Filename->caption(), " ");
    EXPECT_FALSE(LogRun().browsedFileName.has_value());
}

TEST_F(LogWindow, StartAndStopSwitchTheWindowAndTheMainPanels)
{
    ASSERT_EQ(Form_Main->Panel_MonCom[2]->colour(), ButtonFaceColour());
    f().Button_Start->click();
    EXPECT_TRUE(Flags.DataLoggingOn);
    EXPECT_TRUE(PortTable[2].monitored);
    EXPECT_EQ(Form_Main->Panel_MonCom[2]->colour(), Colours::Yellow); // lit at once, green when packets come
    for (QWidget* w : std::initializer_list<QWidget*>{f().Panel_DataSelection, f().Panel_Setup, f().Button_Browse,
                                                      f().Button_Clear, f().Button_Start, f().Button_SelectAll,
                                                      f().Button_SelectClear})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f().Button_Stop->isEnabled());
    EXPECT_EQ(f().Label_OnOff->caption(), "On");
    EXPECT_EQ(f().Shape_OnOff->fill(), Colours::Lime);
    EXPECT_EQ(f().Panel_Filename->caption().toStdString(), " " + dir.file("data3.dat"));
    EXPECT_EQ(f().Panel_DataSets->caption(), "0");
    EXPECT_EQ(f().Panel_Duration->caption(), " ");
    EXPECT_EQ(f().Panel_Data->caption(), " ");
    EXPECT_EQ(f().Panel_StartTime->caption(), " Sun 00:00:00.00"); // no fix yet: time 0
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), "Logging On");
    EXPECT_EQ(Form_Main->Panel_LogStatus->colour(), Colours::Lime);
    EXPECT_EQ(Form_Main->Panel_Record->caption(), "Data");

    f().Button_Stop->click();
    EXPECT_FALSE(Flags.DataLoggingOn);
    EXPECT_TRUE(f().Panel_Setup->isEnabled());
    EXPECT_TRUE(f().Button_Start->isEnabled());
    EXPECT_EQ(f().Label_OnOff->caption(), "Off");
    EXPECT_EQ(f().Shape_OnOff->fill(), Colours::Grey);
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), "Logging Off");
    EXPECT_EQ(Form_Main->Panel_LogStatus->colour(), ButtonFaceColour());
    EXPECT_EQ(Form_Main->Panel_Record->caption(), "Off");
}

// A start without Append empties a file that holds data only after Yes; Enter
// (the default, No) keeps it. The same for the data log and the raw recording.
TEST_F(LogWindow, StartWithoutAppendAsksBeforeEmptyingAFileThatHoldsData)
{
    const std::string log = dir.file("data3.dat"), recording = dir.file("old.zlk");
    WriteFileText(log, "12.0 \r\n");
    WriteFileText(recording, "\x10\x41\x10\x03");
    ui.fileNames.push_back(QString::fromStdString(recording));
    Form_LogZelk->Button_OpenClick();
    struct Row {
        const char* what;
        std::string file;
        QPushButton *start, *stop;
        const uint8_t& on;
    } rows[] = {{"data log", log, f().Button_Start, f().Button_Stop, Flags.DataLoggingOn},
                {"recording", recording, Form_LogZelk->Button_Start, Form_LogZelk->Button_Stop, Flags.RawRecordingOn}};
    for (const Row& row : rows) {
        const std::string before = ReadFileText(row.file);
        ui.boxes.clear();
        row.start->click(); // no answer given: the default button
        ASSERT_EQ(ui.boxes.size(), 1u) << row.what;
        EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::YesNo);
        EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
        EXPECT_NE(ui.boxes[0].text.indexOf(QString::fromStdString(row.file)), -1) << ui.boxes[0].text.toStdString();
        EXPECT_FALSE(row.on) << row.what;
        EXPECT_EQ(ReadFileText(row.file), before) << row.what;

        ui.answers = {ui::Answer::Yes};
        row.start->click();
        EXPECT_TRUE(row.on) << row.what;
        EXPECT_EQ(ReadFileText(row.file), "") << row.what;
        row.stop->click();
        ui.boxes.clear();
        row.start->click(); // an empty file is not asked about
        EXPECT_TRUE(ui.boxes.empty()) << row.what;
        row.stop->click();
    }
}

TEST_F(LogWindow, TheFileBeingWrittenShowsWithItsFullPath)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    f().Edit_FileRoot->setText("data");
    f().Button_Start->click();
    QDir::setCurrent(before);
    EXPECT_EQ(f().Panel_Filename->caption(), " " + QDir(QString::fromStdString(dir.path())).absoluteFilePath("data3.dat"));
    EXPECT_NE(f().Panel_Filename->toolTip().indexOf("COM3: /"), -1) << f().Panel_Filename->toolTip().toStdString();
}

TEST_F(LogWindow, StartWhileLoggingOnlyMonitorsAndClearsWarnings)
{
    f().Button_Start->click();
    BiasWarned[4] = 1;
    LogRun().interval = 9;
    f().Edit_Interval->setText("3");
    f().Button_StartClick(); // the button itself is disabled while logging
    EXPECT_EQ(BiasWarned[4], 0);
    EXPECT_EQ(LogRun().interval, 9);
}

TEST_F(LogWindow, IntervalBelowOneOrNotANumber)
{
    f().Edit_Interval->setText("0");
    f().Button_Start->click();
    EXPECT_EQ(LogRun().interval, 1);
    f().Button_Stop->click();
    f().Edit_Interval->setText("7");
    f().Button_Start->click();
    f().Button_Stop->click();
    f().Edit_Interval->setText("x");
    f().Button_Start->click();
    EXPECT_EQ(LogRun().interval, 7);
    f().Button_Stop->click();
    f().Edit_Interval->setText("-2");
    f().Button_Start->click();
    EXPECT_EQ(LogRun().interval, 1);
}

TEST_F(LogWindow, BiasBoxFollowsThePositionReportKind)
{
    f().CheckBox_Bias->setChecked(true);
    EXPECT_TRUE(LogBiasChecked());
    SetLogBiasAvailable(false); // not logging: disabled and unchecked
    EXPECT_FALSE(f().CheckBox_Bias->isEnabled());
    EXPECT_FALSE(LogBiasChecked());
    SetLogBiasAvailable(true);
    EXPECT_TRUE(f().CheckBox_Bias->isEnabled());
    f().CheckBox_Bias->setChecked(true);
    f().Button_Start->click();
    SetLogBiasAvailable(false); // logging: only disabled
    EXPECT_FALSE(f().CheckBox_Bias->isEnabled());
    EXPECT_TRUE(LogBiasChecked());
}

} // namespace
