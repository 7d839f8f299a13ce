// The building blocks: panels report clicks by button, lamps say their state
// in words, and the hint line follows the control under the pointer.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include "core/main_window.h"
#include "platform/ui.h"
#include "platform/widgets.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

TEST(Widgets, PanelReportsMouseDownWithItsButtonAndClickOnlyForTheLeft)
{
    QWidget parent;
    Panel panel(&parent, "Panel_Test", "?", 0, 0, 40, 20);
    QSignalSpy down(&panel, &Label::mouseDown);
    QSignalSpy clicked(&panel, &Label::clicked);
    QTest::mousePress(&panel, Qt::RightButton);
    QTest::mousePress(&panel, Qt::LeftButton);
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(panel.objectName(), "Panel_Test");
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 40, 20));
    // A panel's caption is what assistive technology reads.
    EXPECT_EQ(panel.text(), "?");
}

TEST(Widgets, LampAccessibleNameSaysItsStateInWords)
{
    QWidget parent;
    Shape lamp(&parent, "Shape_Test", 0, 0, 12);
    EXPECT_EQ(lamp.accessibleName(), "dark");
    lamp.setFill(Colours::Lime);
    EXPECT_EQ(lamp.accessibleName(), "lit");
    EXPECT_TRUE(lamp.isLit());
    lamp.setFill(Colours::Yellow);
    EXPECT_EQ(lamp.accessibleName(), "warning");
    lamp.setFill(Colours::Red);
    EXPECT_EQ(lamp.accessibleName(), "fault");
    EXPECT_FALSE(lamp.isLit());
}

TEST(Widgets, NearestHintClimbsToTheFirstAncestorWithOne)
{
    QWidget outer;
    SetHint(&outer, "outer");
    QWidget middle(&outer);
    QWidget inner(&middle);
    EXPECT_EQ(NearestHint(&inner), "outer");
    SetHint(&inner, "inner");
    EXPECT_EQ(NearestHint(&inner), "inner");
    EXPECT_EQ(NearestHint(nullptr), "");
}

TEST(Widgets, FilterTextOfTheFileDialogBecomesQtsForm)
{
    EXPECT_EQ(ui::QtFilter("Data Files (*.dat)|*.dat|All Files (*.*)|*.*"), "Data Files (*.dat);;All Files (*.*)");
}

void Enter(QWidget* widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(widget, &event);
}

TEST(HintLine, ShowsTheHintOfTheControlUnderThePointerOrItsRegion)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    Enter(MainLabel("Label9")); // "Mode" caption inside the status region
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), "Health: 26, 46, 4B;  Mode: 24, 6D;  DGPS: 62, 82");
    Enter(MainPanel("Panel_SV", 2));
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), "When green, this SV is being used for fixes");
    Enter(MainShape("Shape_TxLED"));
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), "Serial Activity");
    Enter(MainPanel("Panel_Version"));
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), "Firmware Version");
    Enter(MainPanel("Panel_Velocity")); // no hint of its own nor above it
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), "");
}

} // namespace
