// The COM panel: the display-port list and port panels follow the port list,
// the panels' colours follow the monitored and active flags, and clicks and
// pop-up commands open, mark and close ports (the display port stays open).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <cmath>

#include "core/main_window.h"
#include "display/form_track.h"
#include "link/port_table.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "report_delivery.h"

namespace {

QStringList ComboItems()
{
    QStringList items;
    for (int i = 0; i < Main<QComboBox>("ComboBox_DisplayCom")->count(); ++i)
        items << Main<QComboBox>("ComboBox_DisplayCom")->itemText(i);
    return items;
}

std::vector<int> EnabledPanels()
{
    std::vector<int> coms;
    for (int slot = 0; slot < 16; ++slot)
        if (MainPanel("Panel_MonCom", slot)->isEnabled())
            coms.push_back(slot + 1);
    return coms;
}

TEST(PortControls, ListedPortsOnlyAreOfferedAndEnabled)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    EXPECT_EQ(ComboItems(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(EnabledPanels(), (std::vector<int>{1, 3}));
    // The display port's entry is selected, not the first one.
    EXPECT_EQ(Main<QComboBox>("ComboBox_DisplayCom")->currentIndex(), 1);
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->palette().color(QPalette::WindowText), InactiveCaptionTextColour());
}

TEST(PortControls, UnknownPortListEnablesAll16AndEnableAllPortsDoesTheSame)
{
    ASSERT_NE(StartMonitorOnFake(2), nullptr); // PortCount -1 at start
    EXPECT_EQ(PortCount, 16);
    EXPECT_EQ(ComboItems().size(), 16);
    EXPECT_EQ(ComboItems().at(15), "COM16");
    EXPECT_EQ(Main<QComboBox>("ComboBox_DisplayCom")->currentText(), "COM2");
}

TEST(PortControls, EnableAllPortsCommandWidensAShortList)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    MainAction("MenuCOM_EnablePorts")->trigger();
    EXPECT_EQ(PortCount, 16);
    EXPECT_EQ(EnabledPanels().size(), 16u);
    // Refilling the list shows the display port still, and is not a user change.
    EXPECT_EQ(Main<QComboBox>("ComboBox_DisplayCom")->currentText(), "COM3");
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
    EXPECT_EQ(MainPanel("Panel_MonCom", 0)->colour(), Colours::Lime);
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->colour(), Colours::Yellow);
    EXPECT_EQ(MainPanel("Panel_MonCom", 2)->colour(), ButtonFaceColour());
    EXPECT_EQ(HintOf(MainPanel("Panel_MonCom", 5)), "When lit, this port is monitored; when green, receiving packets");
}

TEST(PortControls, ClickingTheDisplayPortPanelOnlyFlipsItsMark)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    Form_Main->SetMultiportLayout();
    QTest::mouseClick(MainPanel("Panel_MonCom", 0), Qt::LeftButton);
    EXPECT_TRUE(PortTable[0].monitored);
    EXPECT_EQ(MainPanel("Panel_MonCom", 0)->colour(), Colours::Yellow);
    QTest::mouseClick(MainPanel("Panel_MonCom", 0), Qt::LeftButton);
    EXPECT_FALSE(PortTable[0].monitored);
    EXPECT_TRUE(PortTable[0].open);
    EXPECT_EQ(MainPanel("Panel_MonCom", 0)->colour(), ButtonFaceColour());
    // The right button does nothing.
    QTest::mouseClick(MainPanel("Panel_MonCom", 0), Qt::RightButton);
    EXPECT_FALSE(PortTable[0].monitored);
}

TEST(PortControls, PortPanelsAnswerTheKeyboardLikeALeftClick)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    EXPECT_NE(MainPanel("Panel_MonCom", 0)->focusPolicy(), Qt::NoFocus);
    QTest::keyClick(MainPanel("Panel_MonCom", 0), Qt::Key_Space);
    EXPECT_TRUE(PortTable[0].monitored);
    QTest::keyClick(MainPanel("Panel_MonCom", 0), Qt::Key_A);
    EXPECT_TRUE(PortTable[0].monitored);
}

TEST(PortControls, ClickingAMonitoredPortClosesItUnlessItIsTheDisplayPort)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    AttachFakeSerial(4);
    PortTable[4].monitored = 1;
    Form_Main->MouseLeft(4, Qt::LeftButton);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), ButtonFaceColour());
}

TEST(PortControls, DisabledPanelsDoNotReact)
{
    ASSERT_NE(StartMonitorOnFake(3, {1, 3}), nullptr);
    Form_Main->SetMultiportLayout();
    AttachFakeSerial(1); // COM2 is open but not listed
    QTest::mouseClick(MainPanel("Panel_MonCom", 1), Qt::LeftButton);
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
        EXPECT_EQ(MainPanel("Panel_MonCom", slot)->colour(), ButtonFaceColour());
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
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Lime);
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

// WCAG contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// On a dark theme (light text, dark fields) lit cells and fields alike keep readable text.
TEST(PortControls, PanelTextStaysReadableOnADarkTheme)
{
    struct RestorePalette {
        QPalette before = QApplication::palette();
        ~RestorePalette() { QApplication::setPalette(before); }
    } restore;
    QPalette dark = restore.before;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, QColor(40, 40, 40));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(235, 235, 235));
    QApplication::setPalette(dark);
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    PortTable[0].monitored = 1;
    PortTable[0].activeLastPeriod = 1;
    Form_Main->RefreshMonitorPanels();
    Report6D fix{0x44, 1, 1, 1, 1, 1, {}};
    fix.prns[0] = 7;
    Deliver(0, fix, &EncodeReport6D);
    Report5C channel{};
    channel.prn = 7;
    Deliver(0, channel, &EncodeReport5C);

    const Panel* panels[] = {MainPanel("Panel_MonCom", 0), MainPanel("Panel_MonCom", 1),
                             MainPanel("Panel_SV", 0),     MainPanel("Panel_PDOP"),
                             MainPanel("Panel_Time"),      Ui<Panel>(Form_Track, "Panel_PDOP")};
    EXPECT_EQ(panels[0]->colour(), Colours::Lime);
    EXPECT_EQ(panels[2]->colour(), Colours::Lime);
    for (const Panel* p : panels) {
        const QColor text = p->palette().color(QPalette::Active, QPalette::WindowText);
        EXPECT_GE(Contrast(text, p->colour()), 4.5) << p->objectName().toStdString();
    }
}

} // namespace
