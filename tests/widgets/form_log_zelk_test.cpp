// The recording window: controls and their states, the file choice, Start's
// two refusals, Stop, the Panel_Record captions with data logging, and the
// one-time notice of a failed write.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "support/file_size_limit.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_script_gui.h"

namespace {

class LogZelkWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartMonitorOnFake(1), nullptr); }

    void Choose(const std::string& path)
    {
        ui.fileNames.push_back(QString::fromStdString(path));
        Form_LogZelk->Button_OpenClick();
    }

    TForm_LogZelk& f() { return *Form_LogZelk; }
    QString record() { return MainPanel("Panel_Record")->caption(); }

    ScriptedUi ui;
    TempDir dir;
};

TEST_F(LogZelkWindow, StartsStoppedWithItsControls)
{
    EXPECT_EQ(f().windowTitle(), "ZELK Logging Setup and Status");
    EXPECT_EQ(f().size(), QSize(441, 127));
    EXPECT_FALSE(f().isVisible());
    EXPECT_EQ(Ui<Label>(&f(), "Label6")->caption(), "ZELK Log Status:");
    EXPECT_EQ(Ui<Label>(&f(), "Label5")->caption(), "File Name");
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "Off");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Grey);
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption(), "");
    EXPECT_EQ(Ui<QCheckBox>(&f(), "CheckBox_Append")->text(), "Append to Log File");
    EXPECT_FALSE(Ui<QCheckBox>(&f(), "CheckBox_Append")->isChecked());
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Open")->text(), "&Open");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Start")->text(), "&Start");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Stop")->text(), "Sto&p");
    EXPECT_EQ(Ui<QPushButton>(&f(), "Button_Close")->text(), "&Close");
    EXPECT_EQ(record(), "Off");
    EXPECT_EQ(HintOf(MainPanel("Panel_Record")), "Logging Status;  Either Off, Data, Zelk, or Zelk/Data.");
}

TEST_F(LogZelkWindow, MenuShowsAndCloseHides)
{
    MainAction("LoggingZELK")->trigger();
    EXPECT_TRUE(f().isVisible());
    Ui<QPushButton>(&f(), "Button_Close")->click();
    EXPECT_FALSE(f().isVisible());
}

TEST_F(LogZelkWindow, StartWithoutFileIsRefusedEvenAfterCancel)
{
    Form_LogZelk->Button_OpenClick(); // cancelled
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filter, "ZELK Files (*.zlk)|*.zlk|All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "zlk");
    EXPECT_EQ(ui.fileRequests[0].initialName, " ");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No ZELK file selected.");
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::Exclamation);
    EXPECT_FALSE(Flags.RawRecordingOn);
    EXPECT_EQ(record(), "Off");
}

TEST_F(LogZelkWindow, CancelKeepsTheEarlierChoice)
{
    Choose(dir.file("a.zlk"));
    Form_LogZelk->Button_OpenClick(); // cancelled
    EXPECT_EQ(Ui<Panel>(&f(), "Panel_Filename")->caption().toStdString(), dir.file("a.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(FileExists(dir.file("a.zlk")));
}

TEST_F(LogZelkWindow, UnopenableFileLeavesRecordingOffAndTheWindowAsItWas)
{
    Choose(dir.file("missing/a.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.toStdString(),
              "Unable to open data record file.\n" + dir.file("missing/a.zlk") + ": No such file or directory");
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::None);
    EXPECT_FALSE(Flags.RawRecordingOn);
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Start")->isEnabled());
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "Off");
    EXPECT_EQ(record(), "Off");
}

TEST_F(LogZelkWindow, StartAndStopSwitchLampButtonsAndCaption)
{
    Choose(dir.file("a.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_TRUE(Flags.RawRecordingOn);
    EXPECT_FALSE(Ui<QPushButton>(&f(), "Button_Open")->isEnabled());
    EXPECT_FALSE(Ui<QPushButton>(&f(), "Button_Start")->isEnabled());
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Stop")->isEnabled());
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "On");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Lime);
    EXPECT_EQ(record(), "Zelk");
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    EXPECT_FALSE(Flags.RawRecordingOn);
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Open")->isEnabled());
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Start")->isEnabled());
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "Off");
    EXPECT_EQ(Ui<Shape>(&f(), "Shape_OnOff")->fill(), Colours::Grey);
    EXPECT_EQ(record(), "Off");
}

TEST_F(LogZelkWindow, StopWhileStoppedOnlySetsTheStates)
{
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    EXPECT_EQ(record(), "Off");
    EXPECT_TRUE(Ui<QPushButton>(&f(), "Button_Start")->isEnabled());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LogZelkWindow, CaptionFollowsBothLoggers)
{
    Choose(dir.file("a.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(record(), "Zelk");
    Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    EXPECT_EQ(record(), "Zelk/Data");
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    EXPECT_EQ(record(), "Data");
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(record(), "Zelk/Data");
    Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    EXPECT_EQ(record(), "Zelk");
}

TEST_F(LogZelkWindow, FailedWritesAreToldOnceAndRecordingGoesOn)
{
    Choose(dir.file("full.zlk"));
    Ui<QCheckBox>(&f(), "CheckBox_Append")->setChecked(true);
    Ui<QPushButton>(&f(), "Button_Start")->click();
    ASSERT_TRUE(Flags.RawRecordingOn);
    const uint8_t data[3] = {1, 2, 3};
    {
        FileSizeLimit full(0); // the disk is full
        RawPacketHook(0x41, data, 3);
        RawPacketHook(0x41, data, 3);
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to write to data record file.");
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(Ui<Label>(&f(), "Label_WriteError")->caption(), "Unable to write to data record file.");
    EXPECT_TRUE(Flags.RawRecordingOn);
    EXPECT_EQ(Ui<Label>(&f(), "Label_OnOff")->caption(), "On");
    // A new recording starts without the old notice.
    Ui<QPushButton>(&f(), "Button_Stop")->click();
    Choose(dir.file("b.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    EXPECT_EQ(Ui<Label>(&f(), "Label_WriteError")->caption(), "");
}

TEST_F(LogZelkWindow, ShortWriteKeepsTheFramesWrittenBefore)
{
    Choose(dir.file("short.zlk"));
    Ui<QPushButton>(&f(), "Button_Start")->click();
    std::vector<uint8_t> expected;
    {
        FileSizeLimit limit(40);
        const std::vector<uint8_t> data(10, 0x22);
        for (int i = 0; i < 5; ++i) // 14-byte frames: the third falls short at 40 bytes and is cut off
            RawPacketHook(0x41 + i, data.data(), 10);
    }
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(Flags.RawRecordingOn);
    const std::vector<uint8_t> bytes = ReadFileBytes(dir.file("short.zlk"));
    ASSERT_EQ(bytes.size(), 28u);
    const std::vector<uint8_t> first = Frame({0x41, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22});
    EXPECT_TRUE(std::equal(first.begin(), first.end(), bytes.begin()));
    // Later frames are written again once the file can grow.
    const uint8_t one = 7;
    RawPacketHook(0x50, &one, 1);
    EXPECT_EQ(ReadFileBytes(dir.file("short.zlk")).size(), 33u);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

} // namespace
