// The COM panel: the display-port list and port panels follow the port list,
// the panels' colours follow the monitored and active flags, and clicks and
// pop-up commands open, mark and close ports (the display port stays open).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

#include "core/main_window.h"
#include "link/port_table.h"
#include "support/monitor_gui.h"

namespace {

QStringList ComboItems()
{
    QStringList items;
    for (int i = 0; i < Form_Main->ComboBox_DisplayCom->count(); ++i)
        items << Form_Main->ComboBox_DisplayCom->itemText(i);
    return items;
}

std::vector<int> EnabledPanels()
{
    std::vector<int> coms;
    for (int slot = 0; slot < 16; ++slot)
        if (Form_Main->Panel_MonCom[slot]->isEnabled())
            coms.push_back(slot + 1);
    return coms;
}

TEST(PortControls, ListedPortsOnlyAreOfferedAndEnabled)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    EXPECT_EQ(ComboItems(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(EnabledPanels(), (std::vector<int>{1, 3}));
    // The display port's entry is selected, not the first one.
    EXPECT_EQ(Form_Main->ComboBox_DisplayCom->currentIndex(), 1);
    EXPECT_EQ(Form_Main->Panel_MonCom[1]->palette().color(QPalette::WindowText), InactiveCaptionTextColour());
}

TEST(PortControls, UnknownPortListEnablesAll16AndEnableAllPortsDoesTheSame)
{
    ASSERT_NE(StartMonitorOnFake(2), nullptr); // PortCount -1 at start
    EXPECT_EQ(PortCount, 16);
    EXPECT_EQ(ComboItems().size(), 16);
    EXPECT_EQ(ComboItems().at(15), "COM16");
    EXPECT_EQ(Form_Main->ComboBox_DisplayCom->currentText(), "COM2");
}

TEST(PortControls, EnableAllPortsCommandWidensAShortList)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    Form_Main->MenuCOM_EnablePorts->trigger();
    EXPECT_EQ(PortCount, 16);
    EXPECT_EQ(EnabledPanels().size(), 16u);
    // Refilling the list selects its first entry and is not a user change.
    EXPECT_EQ(Form_Main->ComboBox_DisplayCom->currentIndex(), 0);
    EXPECT_EQ(DisplayPort, 3);
}

TEST(PortControls, MonitorPanelColoursFollowMonitoredAndActiveFlags)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    PortTable[0].monitored = 1;
    PortTable[0].activeLastPeriod = 1;
    PortTable[1].monitored = 1;
    PortTable[2].activeLastPeriod = 1; // active but not monitored
    Form_Main->RefreshMonitorPanels();
    EXPECT_EQ(Form_Main->Panel_MonCom[0]->colour(), Colours::Lime);
    EXPECT_EQ(Form_Main->Panel_MonCom[1]->colour(), Colours::Yellow);
    EXPECT_EQ(Form_Main->Panel_MonCom[2]->colour(), ButtonFaceColour());
    EXPECT_EQ(HintOf(Form_Main->Panel_MonCom[5]), "When lit, this port is monitored; when green, receiving packets");
}

TEST(PortControls, ClickingTheDisplayPortPanelOnlyFlipsItsMark)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    Form_Main->SetMultiportLayout();
    QTest::mouseClick(Form_Main->Panel_MonCom[0], Qt::LeftButton);
    EXPECT_TRUE(PortTable[0].monitored);
    EXPECT_EQ(Form_Main->Panel_MonCom[0]->colour(), Colours::Yellow);
    QTest::mouseClick(Form_Main->Panel_MonCom[0], Qt::LeftButton);
    EXPECT_FALSE(PortTable[0].monitored);
    EXPECT_TRUE(PortTable[0].open);
    EXPECT_EQ(Form_Main->Panel_MonCom[0]->colour(), ButtonFaceColour());
    // The right button does nothing.
    QTest::mouseClick(Form_Main->Panel_MonCom[0], Qt::RightButton);
    EXPECT_FALSE(PortTable[0].monitored);
}

TEST(PortControls, PortPanelsAnswerTheKeyboardLikeALeftClick)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    EXPECT_NE(Form_Main->Panel_MonCom[0]->focusPolicy(), Qt::NoFocus);
    QTest::keyClick(Form_Main->Panel_MonCom[0], Qt::Key_Space);
    EXPECT_TRUE(PortTable[0].monitored);
    QTest::keyClick(Form_Main->Panel_MonCom[0], Qt::Key_A);
    EXPECT_TRUE(PortTable[0].monitored);
}

TEST(PortControls, ClickingAMonitoredPortClosesItUnlessItIsTheDisplayPort)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    AttachFakeSerial(4);
    PortTable[4].monitored = 1;
    Form_Main->MouseLeft(4, Qt::LeftButton);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_EQ(Form_Main->Panel_MonCom[4]->colour(), ButtonFaceColour());
}

TEST(PortControls, DisabledPanelsDoNotReact)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    Form_Main->SetMultiportLayout();
    AttachFakeSerial(1); // COM2 is open but not listed
    QTest::mouseClick(Form_Main->Panel_MonCom[1], Qt::LeftButton);
    EXPECT_FALSE(PortTable[1].monitored);
}

TEST(PortControls, CloseAllUnmarksEveryPortAndKeepsTheDisplayPortOpen)
{
    ASSERT_NE(StartMonitorOnFake(2, {1, 2, 5}), nullptr);
    AttachFakeSerial(0);
    AttachFakeSerial(4);
    Form_Main->MenuCOM_OpenAllClick(); // all three already open: only marked
    EXPECT_TRUE(PortTable[0].monitored && PortTable[1].monitored && PortTable[4].monitored);
    Form_Main->MenuCOM_CloseAllClick();
    EXPECT_FALSE(PortTable[0].open);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_TRUE(PortTable[1].open);
    EXPECT_FALSE(PortTable[1].monitored);
    for (int slot : {0, 1, 4})
        EXPECT_EQ(Form_Main->Panel_MonCom[slot]->colour(), ButtonFaceColour());
}

TEST(PortControls, CloseQuietClosesOnlyPortsWithoutAPacketLastPeriod)
{
    ASSERT_NE(StartMonitorOnFake(2, {1, 2, 5}), nullptr);
    AttachFakeSerial(0);
    AttachFakeSerial(4);
    Form_Main->MenuCOM_OpenAllClick();
    PortTable[4].activeLastPeriod = 1;
    Form_Main->MenuCOM_CloseQuietClick();
    EXPECT_FALSE(PortTable[0].open);
    EXPECT_TRUE(PortTable[1].open) << "the display port is only unmarked";
    EXPECT_FALSE(PortTable[1].monitored);
    EXPECT_TRUE(PortTable[4].open);
    EXPECT_TRUE(PortTable[4].monitored);
    EXPECT_EQ(Form_Main->Panel_MonCom[4]->colour(), Colours::Lime);
}

TEST(PortControls, BreakToAllRestartsTheSearchOnEveryOpenSlot)
{
    ASSERT_NE(StartMonitorOnFake(2), nullptr);
    AttachFakeSerial(6);
    PortTable[1].searchStep = 0;
    PortTable[6].searchStep = 3;
    PortTable[9].searchStep = 1; // closed: untouched
    Form_Main->MenuCOM_BreakAllClick();
    EXPECT_EQ(PortTable[1].searchStep, 7);
    EXPECT_EQ(PortTable[6].searchStep, 7);
    EXPECT_EQ(PortTable[9].searchStep, 1);
}

} // namespace
