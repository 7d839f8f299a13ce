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
#include "monitor/data_log.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

class LogWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(3), nullptr);
        Ui<QLineEdit>(&f(), "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
    }

    TForm_Log& f() { return *Form_Log; }
    // The record's check boxes in record order.
    std::vector<QCheckBox*> Boxes()
    {
        std::vector<QCheckBox*> boxes;
        for (const char* name : {"CheckBox_TOW", "CheckBox_Bias", "CheckBox_BiasRate", "CheckBox_Levels",
                                 "CheckBox_PosLLA", "CheckBox_PosXYZ", "CheckBox_VelENU", "CheckBox_VelXYZ",
                                 "CheckBox_Mode", "CheckBox_Health", "CheckBox_DGPS", "CheckBox_DOPs"})
            boxes.push_back(Ui<QCheckBox>(&f(), name));
        return boxes;
    }
    std::vector<bool> Checked()
    {
        std::vector<bool> v;
        for (QCheckBox* b : Boxes())
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
    const std::vector<QCheckBox*> boxes = Boxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_EQ(boxes[i]->text(), captions[i]);
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false, false, false, false, false,
                                             false, false}));
    EXPECT_EQ(Ui<QCheckBox>(&f(), "CheckBox_SystemTimer")->text(), "Use System Timer");
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_SystemTimer")->isChecked());
    EXPECT_EQ(Ui<QCheckBox>(&f(), "CheckBox_Append")->text(), "Append to Log File");
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_Append")->isChecked());
    EXPECT_EQ(Ui<QLineEdit>(&f(), "Edit_Interval")->text(), "1");
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "Off");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Grey);
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_DataSets")->caption(), "0");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_StartTime")->caption(), "0");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Duration")->caption(), "0");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Data")->caption(), "");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_SelectAll")->text(), "&All");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_SelectClear")->text(), "Clea&r");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Browse")->text(), "&Browse");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Clear")->text(), "C&lear");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Start")->text(), "&Start");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Stop")->text(), "Sto&p");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Cancel")->text(), "&Close");
    EXPECT_TRUE(Ui<QTimer>(&f(), "Timer_System")->isActive());
    EXPECT_EQ(Ui<QTimer>(&f(), "Timer_System")->interval(), 1000);
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), "Logging Off");
    EXPECT_EQ(HintOf(Form_Main->Panel_LogStatus), "Data Logging: Active when green; Logged that second when yellow;");
}

TEST_F(LogWindow, MenuAndStatusPanelsOpenItAndCloseHides)
{
    Form_Main->LoggingData->trigger();
    EXPECT_TRUE(f().isVisible());
    Ui<QPushButton>(&f(), "Button_Cancel")->click();
    EXPECT_FALSE(f().isVisible());
    emit Form_Main->Panel_Record->clicked();
    EXPECT_TRUE(f().isVisible());
    f().hide();
    emit Form_Main->Panel_LogStatus->clicked();
    EXPECT_TRUE(f().isVisible());
}

TEST_F(LogWindow, AllLeavesPositionLlaAndVelocityEnuUnchecked)
{
    Ui<QPushButton>(&f(), "Button_SelectAll")->click();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, true, true, true, false, true, false, true, true, true, true, true}));
    Ui<QPushButton>(&f(), "Button_SelectClear")->click();
    EXPECT_EQ(Checked(), std::vector<bool>(12, false));
}

TEST_F(LogWindow, PositionAndVelocityPairsExcludeEachOther)
{
    Ui<QCheckBox>(&f(), "CheckBox_PosXYZ")->setChecked(true);
    Ui<QCheckBox>(&f(), "CheckBox_PosLLA")->click();
    EXPECT_TRUE(Ui<QCheckBox>(&f(), "CheckBox_PosLLA")->isChecked());
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_PosXYZ")->isChecked());
    Ui<QCheckBox>(&f(), "CheckBox_VelENU")->setChecked(true);
    Ui<QCheckBox>(&f(), "CheckBox_VelXYZ")->setChecked(true);
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_VelENU")->isChecked());
    Ui<QCheckBox>(&f(), "CheckBox_VelXYZ")->setChecked(false);
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_VelENU")->isChecked()); // unchecking one leaves the other alone
}

TEST_F(LogWindow, BrowseCancelAndClear)
{
    Ui<QPushButton>(&f(), "Button_Browse")->click(); // cancelled, nothing chosen yet
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Select Data File");
    EXPECT_EQ(ui.fileRequests[0].filter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "dat");
    EXPECT_EQ(ui.fileRequests[0].initialName, " ");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(), "");
    ui.fileNames.push_back("/tmp/x/mine.dat");
    Ui<QPushButton>(&f(), "Button_Browse")->click();
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(), "/tmp/x/mine.dat");
    Ui<QPushButton>(&f(), "Button_Browse")->click(); // cancelled: the choice stays
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(), "/tmp/x/mine.dat");
    ASSERT_TRUE(LogRun().browsedFileName.has_value());
    Ui<QPushButton>(&f(), "Button_Clear")->click();
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(), " ");
    EXPECT_FALSE(LogRun().browsedFileName.has_value());
}

TEST_F(LogWindow, StartAndStopSwitchTheWindowAndTheMainPanels)
{
    ASSERT_EQ(Form_Main->Panel_MonCom[2]->colour(), ButtonFaceColour());
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_TRUE(Flags.DataLoggingOn);
    EXPECT_TRUE(PortTable[2].monitored);
    EXPECT_EQ(Form_Main->Panel_MonCom[2]->colour(), Colours::Yellow); // lit at once, green when packets come
    for (QWidget* w : std::initializer_list<QWidget*>{
             Ui<Panel>(&f(), "Panel_DataSelection"), Ui<Panel>(&f(), "Panel_Setup"),
             Ui<QPushButton>(&f(), "Button_Browse"), Ui<QPushButton>(&f(), "Button_Clear"),
             Ui<QPushButton>(&f(), "Button_Start"), Ui<QPushButton>(&f(), "Button_SelectAll"),
             Ui<QPushButton>(&f(), "Button_SelectClear")})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Stop")->isEnabled());
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "On");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Lime);
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption().toStdString(), " " + dir.file("data3.dat"));
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_DataSets")->caption(), "0");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Duration")->caption(), " ");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Data")->caption(), " ");
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_StartTime")->caption(), " Sun 00:00:00.00"); // no fix yet: time 0
    EXPECT_EQ(Form_Main->Panel_LogStatus->caption(), "Logging On");
    EXPECT_EQ(Form_Main->Panel_LogStatus->colour(), Colours::Lime);
    EXPECT_EQ(Form_Main->Panel_Record->caption(), "Data");

    Ui<QPushButton>(&f(), "Button_Stop")->click();
    EXPECT_FALSE(Flags.DataLoggingOn);
    EXPECT_TRUE(Ui<Panel>(&f(), "Panel_Setup")->isEnabled());
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Start")->isEnabled());
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "Off");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Grey);
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
    } rows[] = {{"data log", log, Ui<QPushButton>(&f(), "Button_Start"), Ui<QPushButton>(&f(), "Button_Stop"),
                 Flags.DataLoggingOn},
                {"recording", recording, Ui<QPushButton>(Form_LogZelk, "Button_Start"),
                 Ui<QPushButton>(Form_LogZelk, "Button_Stop"), Flags.RawRecordingOn}};
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
    Ui<QLineEdit>(&f(), "Edit_FileRoot")->setText("data");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    QDir::setCurrent(before);
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(),
              " " + QDir(QString::fromStdString(dir.path())).absoluteFilePath("data3.dat"));
    EXPECT_NE(Ui<Panel>(&f(), "Panel_Filename")->toolTip().indexOf("COM3: /"), -1)
        << Ui<Panel>(&f(), "Panel_Filename")->toolTip().toStdString();
}

TEST_F(LogWindow, StartWhileLoggingOnlyMonitorsAndClearsWarnings)
{
    Ui<QPushButton>(&f(), "Button_Start")->click();
    BiasWarned[4] = 1;
    LogRun().interval = 9;
    Ui<QLineEdit>(&f(), "Edit_Interval")->setText("3");
    f().Button_StartClick(); // the button itself is disabled while logging
    EXPECT_EQ(BiasWarned[4], 0);
    EXPECT_EQ(LogRun().interval, 9);
}

TEST_F(LogWindow, IntervalBelowOneOrNotANumber)
{
    Ui<QLineEdit>(&f(), "Edit_Interval")->setText("0");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(LogRun().interval, 1);
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    Ui<QLineEdit>(&f(), "Edit_Interval")->setText("7");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    Ui<QLineEdit>(&f(), "Edit_Interval")->setText("x");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(LogRun().interval, 7);
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    Ui<QLineEdit>(&f(), "Edit_Interval")->setText("-2");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(LogRun().interval, 1);
}

TEST_F(LogWindow, BiasBoxFollowsThePositionReportKind)
{
    Ui<QCheckBox>(&f(), "CheckBox_Bias")->setChecked(true);
    EXPECT_TRUE(LogBiasChecked());
    SetLogBiasAvailable(false); // not logging: disabled and unchecked
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_Bias")->isEnabled());
    EXPECT_FALSE(LogBiasChecked());
    SetLogBiasAvailable(true);
    EXPECT_TRUE(Ui<QCheckBox>(&f(), "CheckBox_Bias")->isEnabled());
    Ui<QCheckBox>(&f(), "CheckBox_Bias")->setChecked(true);
    Ui<QPushButton>(&f(), "Button_Start")->click();
    SetLogBiasAvailable(false); // logging: only disabled
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_Bias")->isEnabled());
    EXPECT_TRUE(LogBiasChecked());
}

} // namespace
