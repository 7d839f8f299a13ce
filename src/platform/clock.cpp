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

int64_t UtcTimeToNanoseconds(const UtcTime& time)
{
    tm parts{};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minute;
    parts.tm_sec = time.second;
    return static_cast<int64_t>(timegm(&parts)) * 1000000000 + int64_t{time.millisecond} * 1000000;
}

UtcTime NanosecondsToUtcTime(int64_t ns)
{
    int64_t seconds = ns / 1000000000;
    int64_t rest = ns % 1000000000;
    if (rest < 0) {
        rest += 1000000000;
        --seconds;
    }
    const time_t t = static_cast<time_t>(seconds);
    tm parts{};
    gmtime_r(&t, &parts);
    return UtcTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                   parts.tm_min,         parts.tm_sec,    static_cast<int>(rest / 1000000)};
}

int64_t ReadUtcNanoseconds()
{
    if (fakeClock)
        return UtcTimeToNanoseconds(fakeClock->now);
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t ReadSteadyNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
