// Time reports: 0x41 fills week and date, keeps GpsSeconds and completes
// "Down&load Time To PC"; 0x4E colours the initial time dialog's lamp.
#include <gtest/gtest.h>

#include <QAction>
#include <deque>

#include "config/form_initial_time.h"
#include "core/main_window.h"
#include "model/gps_time.h"
#include "monitor/time_reports.h"
#include "link/shared_flags.h"
#include "platform/clock.h"
#include "report_delivery.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/state_reset.h"
#include "support/ui_script_gui.h"

namespace {

constexpr int kDisplaySlot = 0;
constexpr int kMonitoredSlot = 1;

class TimeReports : public testing::Test {
protected:
    void SetUp() override
    {
        display = StartMonitorOnFake(kDisplaySlot + 1);
        ASSERT_NE(display, nullptr);
        AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
    }

    std::shared_ptr<FakeSerial::State> display;
};

TEST_F(TimeReports, WeekAndDateOfGpsTime)
{
    Deliver(kDisplaySlot, Report41{0.0f, 1042, 13.0f}, &EncodeReport41);
    EXPECT_EQ(MainPanel("Panel_Week")->text(), "1042");
    EXPECT_EQ(MainPanel("Panel_Date")->text(), " Dec 26, 1999");
    EXPECT_EQ(GpsSeconds, 630201600.0); // 1042 x 604800
    EXPECT_EQ(MainPanel("Panel_Time")->text(), "?"); // the time of week of 0x41 is not shown
    EXPECT_EQ(MainPanel("Panel_TOW")->text(), "?");
}

TEST_F(TimeReports, FractionalTimeOfWeekIsKeptInGpsSeconds)
{
    Deliver(kDisplaySlot, Report41{86400.5f, 1042, 0}, &EncodeReport41);
    EXPECT_EQ(GpsSeconds, 630288000.5);
    EXPECT_EQ(MainPanel("Panel_Date")->text(), " Dec 27, 1999");
}

TEST_F(TimeReports, WeekWithTheTopBitSetIsUnsigned)
{
    Deliver(kDisplaySlot, Report41{0.0f, 0x8001, 0}, &EncodeReport41);
    EXPECT_EQ(MainPanel("Panel_Week")->text(), "32769");
    EXPECT_EQ(GpsSeconds, 32769.0 * 604800.0);
}

TEST_F(TimeReports, OnlyTheDisplayPortsTimeOfTheRightLengthCounts)
{
    Deliver(kMonitoredSlot, Report41{0.0f, 1042, 0}, &EncodeReport41);
    DecodeReport_41(PortTable[kMonitoredSlot]); // even when called directly
    std::vector<uint8_t> longer = Message(Report41{0.0f, 1042, 0}, &EncodeReport41);
    longer.push_back(0);
    DeliverMessage(kDisplaySlot, longer);
    EXPECT_EQ(MainPanel("Panel_Week")->text(), "?");
    EXPECT_EQ(GpsSeconds, 0.0);
}

TEST_F(TimeReports, TimeToPcSetsTheClockFromTheNextGpsTime)
{
    TestClock().now = UtcTime{1999, 12, 25, 12, 0, 0, 0}; // less than a day away: no question
    MainAction("InitializeTimeToPC")->trigger();
    EXPECT_EQ(Flags.TimeToPcPending, 1);
    EXPECT_EQ(TakeWritten(*display), Frame({0x21}));

    // A receiver that has not answered yet leaves the request standing.
    Deliver(kDisplaySlot, Report4A{0, 0, 0, 0, 0}, &EncodeReport4A);
    EXPECT_EQ(Flags.TimeToPcPending, 1);
    EXPECT_EQ(TestClock().sets, 0);

    // 1042 weeks and 100 s, 13 s of GPS-UTC offset: 26 Dec 1999 00:01:27 UTC.
    Deliver(kDisplaySlot, Report41{100.0f, 1042, 13.0f}, &EncodeReport41);
    EXPECT_EQ(TestClock().now, (UtcTime{1999, 12, 26, 0, 1, 27, 0}));
    EXPECT_EQ(Flags.TimeToPcPending, 0);

    Deliver(kDisplaySlot, Report41{200.0f, 1042, 13.0f}, &EncodeReport41);
    EXPECT_EQ(TestClock().sets, 1); // one request, one set
}

// A receiver counting weeks modulo 1024 reports week 152 for 2026: a clock more
// than a day away is set only after Yes (No is the default), with both times shown.
TEST_F(TimeReports, ClockMoreThanADayAwayIsSetOnlyAfterTheUserAgrees)
{
    const UtcTime pcNow{2026, 12, 8, 13, 0, 0, 0};
    const struct {
        Report41 report;
        std::deque<ui::Answer> answers;
        bool asked;
        UtcTime clockAfter;
    } rows[] = {
        {{100.0f, 152, 13.0f}, {}, true, pcNow},                                        // Enter: No
        {{100.0f, 152, 13.0f}, {ui::Answer::Yes}, true, {1982, 12, 5, 0, 1, 27, 0}},   // as reported
        {{2 * 86400 + 14 * 3600 + 13.0f, 2448, 13.0f}, {}, false, {2026, 12, 8, 14, 0, 0, 0}}, // an hour: no question
    };
    for (const auto& row : rows) {
        ScriptedUi ui;
        ui.answers = row.answers;
        TestClock().now = pcNow;
        Flags.TimeToPcPending = 1;
        Deliver(kDisplaySlot, row.report, &EncodeReport41);
        EXPECT_EQ(MainPanel("Panel_Week")->text(), QString::number(row.report.week)); // the display stays as reported
        EXPECT_EQ(Flags.TimeToPcPending, 0);
        EXPECT_EQ(TestClock().now, row.clockAfter) << row.report.week;
        ASSERT_EQ(ui.boxes.size(), row.asked ? 1u : 0u) << row.report.week;
        if (!row.asked)
            continue;
        EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
        EXPECT_NE(ui.boxes[0].text.indexOf("1982-12-05 00:01:27"), -1) << ui.boxes[0].text.toStdString();
        EXPECT_NE(ui.boxes[0].text.indexOf("2026-12-08 13:00:00"), -1) << ui.boxes[0].text.toStdString();
    }
}

TEST_F(TimeReports, TheClockQuestionOfATickOpensAfterTheTick)
{
    ScriptedUi ui;
    ui.answers = {ui::Answer::Yes};
    TestClock().now = UtcTime{2026, 12, 8, 13, 0, 0, 0};
    Flags.TimeToPcPending = 1;
    {
        ui::HoldRequests tick; // as the engine holds them around a tick
        Deliver(kDisplaySlot, Report41{100.0f, 152, 13.0f}, &EncodeReport41);
        EXPECT_TRUE(ui.boxes.empty()) << "no modal loop inside the tick";
        EXPECT_EQ(Flags.TimeToPcPending, 0);
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
    EXPECT_EQ(TestClock().now, (UtcTime{1982, 12, 5, 0, 1, 27, 0}));
}

TEST_F(TimeReports, RefusedClockSetIsReported)
{
    ScriptedUi ui;
    TestClock().now = UtcTime{1999, 12, 26, 0, 0, 0, 0};
    TestClock().refuseSet = true;
    Flags.TimeToPcPending = 1;
    Deliver(kDisplaySlot, Report41{100.0f, 1042, 13.0f}, &EncodeReport41);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Can't set time");
    EXPECT_EQ(ui.boxes[0].title, "Time set failure.");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::None);
    EXPECT_EQ(Flags.TimeToPcPending, 0);
}

TEST_F(TimeReports, TimeZeroIsNoTimeYet)
{
    ScriptedUi ui;
    Flags.TimeToPcPending = 1;
    Deliver(kDisplaySlot, Report41{0.0f, 0, 0.0f}, &EncodeReport41);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Can't set time");
    EXPECT_EQ(ui.boxes[0].title, "GPS time is not available yet.");
    EXPECT_EQ(TestClock().sets, 0);
    EXPECT_EQ(Flags.TimeToPcPending, 0);
}

// The lamp of the initial time dialog, made here if that dialog has none yet.
Shape* TimeAcceptedLamp()
{
    auto* lamp = Form_InitialTime->findChild<Shape*>("Shape_TimeAccepted");
    return lamp ? lamp : new Shape(Form_InitialTime, "Shape_TimeAccepted", 10, 10, 16);
}

TEST_F(TimeReports, SetTimeAnswerColoursTheLamp)
{
    Shape* lamp = TimeAcceptedLamp();
    EXPECT_EQ(lamp->fill(), Colours::Grey);
    Deliver(kDisplaySlot, Report4E{'Y'}, &EncodeReport4E);
    EXPECT_EQ(lamp->fill(), Colours::Lime);
    Deliver(kDisplaySlot, Report4E{'N'}, &EncodeReport4E);
    EXPECT_EQ(lamp->fill(), Colours::Red);
    Deliver(kDisplaySlot, Report4E{'Y'}, &EncodeReport4E);
    Deliver(kDisplaySlot, Report4E{'y'}, &EncodeReport4E);
    EXPECT_EQ(lamp->fill(), Colours::Red);

    Deliver(kDisplaySlot, Report4E{'Y'}, &EncodeReport4E);
    DeliverMessage(kDisplaySlot, {0x4E, 'N', 'N'}); // length 2
    EXPECT_EQ(lamp->fill(), Colours::Lime);
    DeliverMessage(kMonitoredSlot, {0x4E, 'N'}); // not the display port
    EXPECT_EQ(lamp->fill(), Colours::Lime);
}

} // namespace
