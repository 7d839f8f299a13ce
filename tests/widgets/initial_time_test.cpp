// The "Time From PC" dialog: the 0x2E bytes for a given PC clock, and the
// acceptance lamp. Weeks and times of week were counted by hand from
// 1980-01-06 (a Sunday) and checked against an independent calendar.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>

#include "config/form_initial_time.h"
#include "core/main_window.h"
#include "platform/clock.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/state_reset.h"

namespace {

using Bytes = std::vector<uint8_t>;

class InitialTime : public testing::Test {
protected:
    void SetUp() override
    {
        device = StartMonitorOnFake(1);
        ASSERT_NE(device, nullptr);
        TakeWritten(*device);
        form = Form_InitialTime;
    }

    Bytes SetTimeAt(const UtcTime& now)
    {
        TestClock().now = now;
        Ui<QPushButton>(form, "Button_SetTime")->click();
        return TakeWritten(*device);
    }

    std::shared_ptr<FakeSerial::State> device;
    TForm_InitialTime* form = nullptr;
};

TEST_F(InitialTime, ControlsCaptionsAndHints)
{
    EXPECT_EQ(form->windowTitle(), "Time From PC");
    EXPECT_EQ(HintOf(form), "Set Initial Time: packets 2E, 4E.");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Grey);
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->width(), Ui<Shape>(form, "Shape_TimeAccepted")->height());
    EXPECT_EQ(HintOf(Ui<Shape>(form, "Shape_TimeAccepted")),
              "When red, the receiver already had time from a sattelite and uses that time.");
    EXPECT_EQ(Ui<Label>(form, "Label4")->text(), "Time Accepted by Receiver");
    EXPECT_EQ(HintOf(Ui<Label>(form, "Label4")),
              "When red, the receiver already has time from a sattelite and uses that time.");
    EXPECT_EQ(Ui<QPushButton>(form, "Button_SetTime")->text(), "&Set Time");
    EXPECT_EQ(Ui<QPushButton>(form, "Button_Cancel")->text(), "&Close");
}

TEST_F(InitialTime, SetTimeSendsWeekAndTimeOfWeekOfThePcClock)
{
    // Saturday 2002-06-15 12:00:00: week 1170 (0x0492), 6 days 12 h = 561600 s = 0x49091C00.
    EXPECT_EQ(SetTimeAt({2002, 6, 15, 12, 0, 0, 0}), Frame({0x2E, 0x49, 0x09, 0x1C, 0x00, 0x04, 0x92}));
    // Milliseconds are dropped.
    EXPECT_EQ(SetTimeAt({2002, 6, 15, 12, 0, 0, 999}), Frame({0x2E, 0x49, 0x09, 0x1C, 0x00, 0x04, 0x92}));
}

TEST_F(InitialTime, TheWeekIsTheFullNumberNotTakenModulo1024)
{
    // Sunday 2026-03-01 08:30:15: week 2408 (0x0968), 30615 s = 0x46EF2E00.
    EXPECT_EQ(SetTimeAt({2026, 3, 1, 8, 30, 15, 0}), Frame({0x2E, 0x46, 0xEF, 0x2E, 0x00, 0x09, 0x68}));
}

TEST_F(InitialTime, SundayMidnightStartsTheNewWeekAtZero)
{
    // Saturday 2026-12-05 23:59:59 is the last second of week 2447: 604799 s = 0x4913A7F0.
    EXPECT_EQ(SetTimeAt({2026, 12, 5, 23, 59, 59, 0}), Frame({0x2E, 0x49, 0x13, 0xA7, 0xF0, 0x09, 0x8F}));
    // One second later: week 2448 (0x0990), time of week 0.0.
    EXPECT_EQ(SetTimeAt({2026, 12, 6, 0, 0, 0, 0}), Frame({0x2E, 0x00, 0x00, 0x00, 0x00, 0x09, 0x90}));
    // The epoch itself: week 0, time 0.
    EXPECT_EQ(SetTimeAt({1980, 1, 6, 0, 0, 0, 0}), Frame({0x2E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST_F(InitialTime, TheLampShowsTheLastAnswerUntilTheDialogIsOpenedAgain)
{
    MainAction("InitializeTime")->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Grey);

    form->SetTimeAccepted(true);
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Lime);
    SetTimeAt({2002, 6, 15, 12, 0, 0, 0}); // Set Time leaves the lamp alone
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Lime);
    form->SetTimeAccepted(false);
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Red);
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->accessibleName(), "fault");

    // Reopening from the menu, shown or hidden before, turns it grey again.
    MainAction("InitializeTime")->trigger();
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Grey);
    form->SetTimeAccepted(true);
    Ui<QPushButton>(form, "Button_Cancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Lime); // the answer is kept while hidden
    MainAction("InitializeTime")->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Grey);
    EXPECT_TRUE(TakeWritten(*device).empty()); // opening sends nothing
}

TEST_F(InitialTime, TheReceiversAnswerColoursTheLamp)
{
    const auto answer = [this](std::vector<uint8_t> message) {
        Feed(*device, Frame(message));
        Tick();
        return Ui<Shape>(form, "Shape_TimeAccepted")->fill();
    };
    EXPECT_EQ(answer({0x4E, 'Y'}), Colours::Lime);
    EXPECT_EQ(answer({0x4E, 'N'}), Colours::Red);
    EXPECT_EQ(answer({0x4E, 'Y'}), Colours::Lime);
    EXPECT_EQ(answer({0x4E, 'y'}), Colours::Red); // only a capital Y means yes
    EXPECT_EQ(answer({0x4E, 'Y', 'Y'}), Colours::Red); // another length leaves the lamp alone
    EXPECT_EQ(answer({0x4E}), Colours::Red);
}

TEST_F(InitialTime, SetTimeToAClosedPortSendsNothing)
{
    PortTable[0].open = 0;
    EXPECT_TRUE(SetTimeAt({2002, 6, 15, 12, 0, 0, 0}).empty());
    EXPECT_EQ(Ui<Shape>(form, "Shape_TimeAccepted")->fill(), Colours::Grey);
}

} // namespace
