#include "platform/clock.h"

#include <ctime>

namespace {
FakeClock* fakeClock = nullptr;
}

void UseFakeClock(FakeClock* fake) { fakeClock = fake; }

UtcTime ReadUtcClock()
{
    if (fakeClock)
        return fakeClock->now;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts{};
    gmtime_r(&ts.tv_sec, &parts);
    return UtcTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                   parts.tm_min,         parts.tm_sec,    static_cast<int>(ts.tv_nsec / 1000000)};
}

bool SetUtcClock(const UtcTime& time)
{
    if (fakeClock) {
        ++fakeClock->sets;
        if (fakeClock->refuseSet)
            return false;
        fakeClock->now = time;
        return true;
    }
    tm parts{};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minute;
    parts.tm_sec = time.second;
    // The system refuses times it cannot hold (before 1970, far future) with EINVAL.
    const time_t seconds = timegm(&parts);
    const timespec ts{seconds, static_cast<long>(time.millisecond) * 1000000L};
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}
