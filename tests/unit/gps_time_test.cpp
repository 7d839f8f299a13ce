// GPS time texts and the PC clock conversions. Expected dates and second
// counts were worked out by hand or with an independent calendar library.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/gps_time.h"
#include "platform/clock.h"
#include "support/state_reset.h"

namespace {

constexpr double kDay = 86400.0;

TEST(FormatTimeOfWeek, WorkedExamples)
{
    struct Case {
        float time;
        uint8_t withDayName;
        const char* text;
    };
    const Case cases[] = {
        {0.0f, 1, " Sun 00:00:00.00"},
        {604799.5f, 1, " Sat 23:59:59.50"},
        {-1.0f, 1, "<No time yet>"},
        {-2.0f, 1, " Sat 23:59:58.00"},
        {604800.0f, 1, "<Bad time>"},
        {-700000.0f, 1, "<Bad time>"},
        {90061.0f, 0, " 1 01:01:01"},
        {-1.0f, 0, "<No time yet>"},
        {59.996f, 1, " Sun 00:00:60.00"}, // the format rounds; the minute stays
        {345600.25f, 1, " Thu 00:00:00.25"},
        {86399.0f, 0, " 0 23:59:59"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTimeOfWeek(c.time, c.withDayName), c.text) << c.time;
}

TEST(FormatTimeOfWeek, NotANumberIsABadTime)
{
    EXPECT_EQ(FormatTimeOfWeek(std::numeric_limits<float>::quiet_NaN(), 1), "<Bad time>");
    EXPECT_EQ(FormatTimeOfWeek(std::numeric_limits<float>::infinity(), 0), "<Bad time>");
    EXPECT_EQ(FormatTimeOfWeek(-std::numeric_limits<float>::infinity(), 1), "<Bad time>");
}

TEST(FormatGpsDate, WorkedExamplesUpTo2011)
{
    EXPECT_EQ(FormatGpsDate(0.0), " Jan 6, 1980");
    EXPECT_EQ(FormatGpsDate(55 * kDay), " Mar 1, 1980");
    EXPECT_EQ(FormatGpsDate(361 * kDay), " Jan 1, 1981");
    EXPECT_EQ(FormatGpsDate(7300 * kDay), " Jan 1, 2000");
    EXPECT_EQ(FormatGpsDate(10000 * kDay), " May 24, 2007");
    EXPECT_EQ(FormatGpsDate(1042 * kSecondsPerWeek), " Dec 26, 1999");
    EXPECT_EQ(FormatGpsDate(1042 * kSecondsPerWeek - 0.5), " Dec 25, 1999");
}

// The date walk through per-year tables that ends with 2011: every day of
// 1980 to 2011 must come out the same as before.
TEST(FormatGpsDate, SameAsTheYearTableWalkFor1980To2011)
{
    const int monthLengths[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                     {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int daysPerYear[32];
    for (int i = 0; i < 32; ++i)
        daysPerYear[i] = i == 0 ? 361 : (i % 4 == 0 ? 366 : 365);
    for (int day = 0; day < 11683; ++day) {
        int days = day;
        int i = 0;
        while (days >= daysPerYear[i])
            days -= daysPerYear[i++];
        if (i == 0)
            days += 5;
        int m = 0;
        while (days >= monthLengths[i % 4 == 0][m])
            days -= monthLengths[i % 4 == 0][m++];
        const std::string expected = std::string(" ") + names[m] + " " + std::to_string(days + 1) + ", " +
                                     std::to_string(1980 + i);
        ASSERT_EQ(FormatGpsDate(day * kDay + 43200.0), expected) << "day " << day;
    }
}

struct CalendarCase {
    int year, month, day;
    int64_t gpsDay;      // days since 6 January 1980
    const char* text;
};

// Leap days, year ends and the turn of 2100 (not a leap year).
const CalendarCase kLaterDates[] = {
    {2024, 2, 28, 16124, " Feb 28, 2024"}, {2024, 2, 29, 16125, " Feb 29, 2024"},
    {2024, 3, 1, 16126, " Mar 1, 2024"},   {2024, 12, 31, 16431, " Dec 31, 2024"},
    {2025, 1, 1, 16432, " Jan 1, 2025"},   {2028, 2, 29, 17586, " Feb 29, 2028"},
    {2032, 12, 31, 19353, " Dec 31, 2032"}, {2036, 2, 29, 20508, " Feb 29, 2036"},
    {2040, 2, 29, 21969, " Feb 29, 2040"}, {2040, 12, 31, 22275, " Dec 31, 2040"},
    {2100, 2, 28, 43883, " Feb 28, 2100"}, {2100, 3, 1, 43884, " Mar 1, 2100"},
};

TEST(FormatGpsDate, GregorianDatesAfter2011)
{
    for (const CalendarCase& c : kLaterDates) {
        EXPECT_EQ(FormatGpsDate(c.gpsDay * kDay), c.text);
        EXPECT_EQ(FormatGpsDate(c.gpsDay * kDay + kDay - 1), c.text); // last second of the day
        EXPECT_EQ(DateToGpsDay(c.year, c.month, c.day), c.gpsDay);
        EXPECT_EQ(GpsDayToDate(c.gpsDay), (GpsDate{c.year, c.month, c.day}));
    }
    // Week 2303 day 4 is the leap day of 2024.
    EXPECT_EQ(FormatGpsDate(2303 * kSecondsPerWeek + 345600.0), " Feb 29, 2024");
}

TEST(FormatGpsDate, WeeksWithTheTopBitAndTheLastWeek)
{
    EXPECT_EQ(FormatGpsDate(0x8001 * kSecondsPerWeek), " Jan 17, 2608");
    EXPECT_EQ(FormatGpsDate(65535 * kSecondsPerWeek + 604799.0), " Jan 12, 3236");
}

TEST(FormatGpsDate, BeforeTheEpochAndNoNumber)
{
    EXPECT_EQ(FormatGpsDate(-1.0), " Jan 5, 1980");
    EXPECT_EQ(FormatGpsDate(std::numeric_limits<double>::quiet_NaN()), "<Bad time>");
    EXPECT_EQ(FormatGpsDate(std::numeric_limits<double>::infinity()), "<Bad time>");
}

TEST(PcClock, ReadingInGpsSeconds)
{
    TestClock().now = UtcTime{1980, 1, 6, 0, 0, 0, 0};
    EXPECT_EQ(PcClockToGpsSeconds(), 0.0);
    TestClock().now = UtcTime{1980, 3, 1, 0, 0, 0, 999};
    EXPECT_EQ(PcClockToGpsSeconds(), 4752000.0);
    TestClock().now = UtcTime{2002, 6, 15, 12, 0, 0, 0};
    EXPECT_EQ(PcClockToGpsSeconds(), 708177600.0);
    TestClock().now = UtcTime{2024, 2, 29, 1, 2, 3, 0};
    EXPECT_EQ(PcClockToGpsSeconds(), 16125 * kDay + 3723);
    for (const CalendarCase& c : kLaterDates) {
        TestClock().now = UtcTime{c.year, c.month, c.day, 23, 59, 59, 0};
        EXPECT_EQ(PcClockToGpsSeconds(), c.gpsDay * kDay + kDay - 1) << c.text;
    }
}

TEST(PcClock, SettingFromGpsSeconds)
{
    EXPECT_EQ(SetPcClock(0.0), 0);
    EXPECT_EQ(TestClock().now, (UtcTime{1980, 1, 6, 0, 0, 0, 0}));
    EXPECT_EQ(SetPcClock(4752000.75), 0); // fractions are dropped
    EXPECT_EQ(TestClock().now, (UtcTime{1980, 3, 1, 0, 0, 0, 0}));
    EXPECT_EQ(SetPcClock(16125 * kDay + 45296), 0);
    EXPECT_EQ(TestClock().now, (UtcTime{2024, 2, 29, 12, 34, 56, 0}));
    for (const CalendarCase& c : kLaterDates) {
        ASSERT_EQ(SetPcClock(c.gpsDay * kDay + kDay - 1), 0);
        EXPECT_EQ(TestClock().now, (UtcTime{c.year, c.month, c.day, 23, 59, 59, 0})) << c.text;
    }
}

TEST(PcClock, SetAndReadBackAgreeOverManyYears)
{
    for (double s = -3 * kDay; s < 70 * 365.25 * kDay; s += 1234567.25) {
        ASSERT_EQ(SetPcClock(s), 0);
        ASSERT_EQ(PcClockToGpsSeconds(), std::floor(s)) << s;
    }
}

TEST(PcClock, RefusalsAreReported)
{
    TestClock().refuseSet = true;
    EXPECT_EQ(SetPcClock(1000.0), 1);
    EXPECT_EQ(TestClock().sets, 1);
    TestClock().refuseSet = false;
    EXPECT_EQ(SetPcClock(std::numeric_limits<double>::quiet_NaN()), 1);
    EXPECT_EQ(TestClock().sets, 1); // no time: the clock is not touched
}

TEST(PcClockFromGps, NotBeforeTheFirstGpsTime)
{
    const auto message = SetPcClockFromGps(18.0f);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, "Can't set time");
    EXPECT_EQ(message->title, "GPS time is not available yet.");
    EXPECT_EQ(TestClock().sets, 0);
}

TEST(PcClockFromGps, SetsUtcFromGpsTimeLessTheOffset)
{
    GpsSeconds = 2345 * kSecondsPerWeek + 345600.5;
    EXPECT_FALSE(SetPcClockFromGps(18.0f).has_value());
    EXPECT_EQ(TestClock().now, (UtcTime{2024, 12, 18, 23, 59, 42, 0}));
}

TEST(PcClockFromGps, RefusedSetIsReported)
{
    GpsSeconds = 1042 * kSecondsPerWeek;
    TestClock().refuseSet = true;
    const auto message = SetPcClockFromGps(13.0f);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, "Can't set time");
    EXPECT_EQ(message->title, "Time set failure.");
    EXPECT_EQ(TestClock().sets, 1);
}

} // namespace
