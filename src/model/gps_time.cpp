#include "model/gps_time.h"

#include <cmath>
#include <cstdio>

#include "platform/clock.h"

double GpsSeconds = 0.0;

namespace {

constexpr const char* kMonthNames[13] = {"???", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr int64_t kSecondsPerDay = 86400;

// Days from 1 January 1970 of a Gregorian date, and back (any year, proleptic).
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

GpsDate CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return GpsDate{static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

const int64_t kEpochDays = DaysFromCivil(1980, 1, 6);

// Whole seconds since the epoch, rounded down; false when the value is no time.
// The bound keeps the day and year arithmetic far from overflow.
bool WholeSeconds(double seconds, int64_t& whole)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15)
        return false;
    whole = static_cast<int64_t>(std::floor(seconds));
    return true;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

} // namespace

GpsDate GpsDayToDate(int64_t days) { return CivilFromDays(days + kEpochDays); }

int64_t DateToGpsDay(int year, int month, int day) { return DaysFromCivil(year, month, day) - kEpochDays; }

std::string FormatTimeOfWeek(float time, uint8_t withDayName)
{
    if (time == -1.0f)
        return "<No time yet>";
    if (time < 0.0f)
        time += 604800.0f;
    if (!(time >= 0.0f && time < 604800.0f)) // also catches NaN
        return "<Bad time>";

    const double t = time;
    const int day = static_cast<int>(t * (1.0 / 86400.0));
    const int hour = static_cast<int>(std::fmod(t * (1.0 / 3600.0), 24.0));
    const int minute = static_cast<int>(std::fmod(t * (1.0 / 60.0), 60.0));
    const double second = static_cast<float>(std::fmod(t, 60.0));

    char text[48];
    if (withDayName)
        std::snprintf(text, sizeof text, " %s %02d:%02d:%05.2f", kDayNames[day], hour, minute, second);
    else
        std::snprintf(text, sizeof text, " %d %02d:%02d:%02.0f", day, hour, minute, second);
    return text;
}

std::string FormatGpsDate(double gpsSeconds)
{
    int64_t whole = 0;
    if (!WholeSeconds(gpsSeconds, whole))
        return "<Bad time>";
    const GpsDate date = GpsDayToDate(FloorDiv(whole, kSecondsPerDay));
    char text[48];
    std::snprintf(text, sizeof text, " %s %d, %d", kMonthNames[date.month], date.day, date.year);
    return text;
}

double PcClockToGpsSeconds()
{
    const UtcTime now = ReadUtcClock();
    const int64_t days = DateToGpsDay(now.year, now.month, now.day);
    return static_cast<double>(((days * 24 + now.hour) * 60 + now.minute) * 60 + now.second);
}

int SetPcClock(double seconds)
{
    int64_t whole = 0;
    if (!WholeSeconds(seconds, whole))
        return 1;
    const int64_t days = FloorDiv(whole, kSecondsPerDay);
    const int64_t inDay = whole - days * kSecondsPerDay;
    const GpsDate date = GpsDayToDate(days);
    const UtcTime time{date.year,
                       date.month,
                       date.day,
                       static_cast<int>(inDay / 3600),
                       static_cast<int>(inDay / 60 % 60),
                       static_cast<int>(inDay % 60),
                       0};
    return SetUtcClock(time) ? 0 : 1;
}

std::string FormatGpsDateTime(double seconds)
{
    int64_t whole = 0;
    if (!WholeSeconds(seconds, whole))
        return "<Bad time>";
    const int64_t days = FloorDiv(whole, kSecondsPerDay);
    const int64_t inDay = whole - days * kSecondsPerDay;
    const GpsDate date = GpsDayToDate(days);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day,
                  static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
    return text;
}

std::optional<ClockMessage> SetPcClockFromGps(float utcOffset)
{
    if (GpsSeconds == 0.0)
        return ClockMessage{"Can't set time", "GPS time is not available yet."};
    if (SetPcClock(GpsSeconds - static_cast<double>(utcOffset)) != 0)
        return ClockMessage{"Can't set time", "Time set failure."};
    return std::nullopt;
}
