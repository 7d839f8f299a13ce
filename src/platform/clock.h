// The PC clock seam: read and set the system clock in UTC. Tests install a
// fake so that nothing touches the machine's real clock.
#pragma once

#include <cstdint>

struct UtcTime {
    int year = 1980;
    int month = 1; // 1..12
    int day = 6;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool operator==(const UtcTime&) const = default;
};

// A settable clock: reads return now; a set stores into now unless refuseSet.
struct FakeClock {
    UtcTime now;
    bool refuseSet = false;
    int sets = 0; // set attempts, refused ones included
};

UtcTime ReadUtcClock();
// True when the system took the time (setting needs privilege and a valid date).
bool SetUtcClock(const UtcTime& time);
// Now in nanoseconds since 1970-01-01 UTC (the fake's time when one is installed).
int64_t ReadUtcNanoseconds();
// A clock that is never stepped, in nanoseconds from an arbitrary start: for pacing.
int64_t ReadSteadyNanoseconds();
int64_t UtcTimeToNanoseconds(const UtcTime& time);
UtcTime NanosecondsToUtcTime(int64_t ns);
// Routes the calls above to the fake; nullptr returns to the system clock.
void UseFakeClock(FakeClock* fake);
