// GPS time as text, and GPS time to and from the PC clock. GPS time counts
// from midnight at the start of 6 January 1980, without leap seconds.
// Plain C++: the callers put the texts into their panels and boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

constexpr double kSecondsPerWeek = 604800.0;

// The display receiver's GPS time in seconds since the epoch; 0 = not known yet.
extern double GpsSeconds;

// A calendar date of the Gregorian calendar.
struct GpsDate {
    int year = 1980;
    int month = 1; // 1..12
    int day = 6;   // 1..31
    bool operator==(const GpsDate&) const = default;
};

// The date of whole day number `days` counted from 6 January 1980 (day 0); negative days lie before it.
GpsDate GpsDayToDate(int64_t days);
// Day number from 6 January 1980 of a date.
int64_t DateToGpsDay(int year, int month, int day);

// " Sun 00:00:00.00" (withDayName) or " 0 00:00:00"; "<No time yet>" for -1, "<Bad time>" outside a week.
std::string FormatTimeOfWeek(float time, uint8_t withDayName);
// " Jan 6, 1980" for the day of the given GPS seconds; "<Bad time>" when it is not a number.
std::string FormatGpsDate(double gpsSeconds);
// The PC's UTC clock, in whole seconds since the GPS epoch (no leap seconds).
double PcClockToGpsSeconds();
// Sets the PC's UTC clock to the seconds since the GPS epoch, fractions dropped.
// Returns 0 on success, 1 when the platform refuses (or the value is no time).
int SetPcClock(double seconds);

// "2026-12-08 14:10:36" for seconds since the GPS epoch taken as UTC; "<Bad time>" when it is no time.
std::string FormatGpsDateTime(double seconds);

// A modal message for the user: its text and its title (no icon).
struct ClockMessage {
    std::string text;
    std::string title;
};
// Sets the PC clock to GpsSeconds - utcOffset. Returns the message to show
// when that cannot be done, nothing on success.
std::optional<ClockMessage> SetPcClockFromGps(float utcOffset);
