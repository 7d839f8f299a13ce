// The main window's reset, flash and display-port commands: what they ask,
// what they send and in which order, and what they change on screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QTest>

#include "core/main_window.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/ui_script_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kFactoryReset = {0x10, 0x1E, 0x46, 0x10, 0x03};
const Bytes kSoftReset = {0x10, 0x25, 0x10, 0x03};
const Bytes kFourQueries = {0x10, 0x62, 0x04, 0x10, 0x03, 0x10, 0x35, 0x10, 0x03,
                            0x10, 0x8E, 0x15, 0x10, 0x03, 0x10, 0x21, 0x10, 0x03};

std::vector<Panel*> PositionPanels()
{
    return MainPanels({"Panel_NorthSouth", "Panel_LatDeg", "Panel_LatMin", "Panel_EastWest", "Panel_LonDeg",
                       "Panel_LonMin", "Panel_X", "Panel_Y", "Panel_Alt_Z"});
}

void FillPositionPanels()
{
    for (Panel* p : PositionPanels())
        p->setCaption("12.5");
}

TEST(ResetCommands, FactoryResetAppliesLineSettingsOnlyWhenTheyDiffer)
{
    auto com1 = StartMonitorOnFake(1);
    FillPositionPanels();
    ScriptedUi ui;
    ui.answers = {ui::Answer::Yes};
    Form_Main->InitializeFactoryClick();
    ASSERT_EQ(ui.boxes.size(), 1u); // the codes are 7, 3, 1, 0 already: no question
    EXPECT_EQ(ui.boxes[0].title, "Factory Reset?");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::Warning);
    EXPECT_EQ(ui.boxes[0].text, "Really clear battery backed-up RAM and set receiver to factory default settings?");
    EXPECT_EQ(TakeWritten(*com1), kFactoryReset);
    EXPECT_EQ(PositionPanels().front()->caption(), "?");

    // After the serial dialog set 4800 baud the receiver is told 9600 8-O-1
    // on port 0, ZELK in and out; answering No leaves the PC side alone.
    PortLineCodes[0] = LineCodes{6, 3, 1, 0};
    ui.answers = {ui::Answer::Yes, ui::Answer::No};
    Form_Main->InitializeFactoryClick();
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[2].title, "Update PC?");
    const Bytes serialSet = {0x10, 0xBC, 0x00, 0x07, 0x07, 0x03, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x10, 0x03};
    Bytes expected = kFactoryReset;
    expected.insert(expected.end(), serialSet.begin(), serialSet.end());
    EXPECT_EQ(TakeWritten(*com1), expected);
    EXPECT_EQ(PortLineCodes[0], (LineCodes{6, 3, 1, 0}));

    ui.answers = {ui::Answer::No};
    Form_Main->InitializeFactoryClick();
    EXPECT_EQ(ui.boxes.size(), 4u);
    EXPECT_TRUE(TakeWritten(*com1).empty());

    // Ctrl+F then Enter: the box's default button is No, so nothing is reset.
    ui.answers.clear();
    MainAction("InitializeFactory")->trigger();
    ASSERT_EQ(ui.boxes.size(), 5u);
    EXPECT_EQ(ui.boxes[4].title, "Factory Reset?");
    EXPECT_TRUE(TakeWritten(*com1).empty());
}

TEST(AutoQuery, OffBlanksEveryValueFieldAndStopsTheQueries)
{
    auto com1 = StartMonitorOnFake(1);
    PortTable[0].searchStep = 0;
    MainPanel("Panel_PDOP")->setCaption("1.5");
    MainShape("Shape_Err1")->setFill(Colours::Red);
    PortReports[4].fixSvs[0] = 12;
    Form_Main->LoggingAutoQueryClick();
    EXPECT_FALSE(MainAction("LoggingAutoQuery")->isChecked());
    EXPECT_EQ(MainPanel("Panel_PDOP")->caption(), "?");
    EXPECT_EQ(MainShape("Shape_Err1")->fill(), Colours::Grey);
    EXPECT_EQ(PortReports[4].fixSvs[0], 0);
    Tick(10);
    EXPECT_TRUE(TakeWritten(*com1).empty());
    Form_Main->LoggingAutoQueryClick();
    EXPECT_TRUE(MainAction("LoggingAutoQuery")->isChecked());
    Tick(10);
    EXPECT_FALSE(TakeWritten(*com1).empty());
}

class DisplayPortChange : public testing::Test {
protected:
    void SetUp() override
    {
        if (!com1.ok() || !com3.ok())
            GTEST_SKIP() << "no pseudo-terminals on this machine";
        SetComDevice(1, com1.devicePath());
        SetComDevice(3, com3.devicePath());
    }
    PtyPair com1, com3;
};

TEST_F(DisplayPortChange, FromAnUnmonitoredPortToAnotherOnRealDevices)
{
    DisplayPort = 1;
    PortCount = 2;
    PortList[0] = 1;
    PortList[1] = 3;
    // As the program sets it: a window title that ends with it is shown as it stands.
    QGuiApplication::setApplicationDisplayName("JX_Monitor");
    ASSERT_TRUE(StartMonitorOnDevice());
    ASSERT_TRUE(PortTable[0].open);
    EXPECT_EQ(Form_Main->windowTitle(), "1 JX_Monitor");
    EXPECT_EQ(MainPanel("Panel_Device")->caption().toStdString(), com1.devicePath());
    PortLineCodes[2] = LineCodes{7, 3, 1, 0};
    Form_Main->ComboBox_DisplayComChange(1);
    EXPECT_EQ(DisplayPort, 3);
    EXPECT_FALSE(PortTable[0].open);
    EXPECT_TRUE(PortTable[2].open);
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM3 9600, 8-O-1");
    // The title follows the display port and names the program once.
    EXPECT_EQ(Form_Main->windowTitle(), "3 JX_Monitor");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "JX_Monitor");
    // The device beside the COM number, whole in the hint line; the panels do not overlap.
    EXPECT_EQ(MainPanel("Panel_Device")->caption().toStdString(), com3.devicePath());
    EXPECT_EQ(HintOf(MainPanel("Panel_Device")).toStdString(), "COM3: " + com3.devicePath());
    EXPECT_LT(MainPanel("Panel_Device")->geometry().right(), MainPanel("Panel_Serial")->x());
    EXPECT_EQ(com3.Read(kFourQueries.size()), kFourQueries);

    // Picking the port that is shown already changes nothing.
    MainPanel("Panel_Serial")->setCaption("unchanged");
    Form_Main->ComboBox_DisplayComChange(1);
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "unchanged");
    EXPECT_TRUE(com3.ReadAvailable(100, 20).empty());
}

TEST(MenuShortcuts, KeyboardShortcutsRunTheirCommandsInTheShownWindow)
{
    auto com1 = StartMonitorOnFake(1);
    Form_Main->show();
    QApplication::setActiveWindow(Form_Main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form_Main));
    ScriptedUi ui;

    const bool multiport = Form_Main->IsMultiport();
    QTest::keyClick(Form_Main, Qt::Key_M, Qt::ControlModifier);
    EXPECT_NE(Form_Main->IsMultiport(), multiport);
    EXPECT_EQ(MainAction("WindowMultiPort")->isChecked(), Form_Main->IsMultiport());

    ui.answers = {ui::Answer::No};
    QTest::keyClick(Form_Main, Qt::Key_K, Qt::ControlModifier);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Cold reset?");

    ui.answers = {ui::Answer::Yes};
    QTest::keyClick(Form_Main, Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].title, "Soft reset?");
    EXPECT_EQ(TakeWritten(*com1), kSoftReset);
    Form_Main->hide();
}

} // namespace
