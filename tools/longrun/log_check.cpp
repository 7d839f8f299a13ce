#include "log_check.h"

#include <cstdlib>
#include <fstream>

namespace {

constexpr double kSecondsPerWeek = 604800;

// Seconds from one time of week to the next, across the week's end.
double StepSeconds(double from, double to)
{
    const double d = to - from;
    return d < -kSecondsPerWeek / 2 ? d + kSecondsPerWeek : d;
}

void Count(LogCheck& c, double tow)
{
    if (c.records > 0) {
        const double step = StepSeconds(c.lastTow, tow);
        if (step <= 0)
            ++c.repeated;
        else if (step > 1)
            c.missing += static_cast<uint64_t>(step - 1 + 0.5);
    } else {
        c.firstTow = tow;
    }
    c.lastTow = tow;
    ++c.records;
}

} // namespace

LogCheck CheckTimeOfWeekLog(const std::string& path)
{
    LogCheck c;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        char* end = nullptr;
        const double tow = std::strtod(line.c_str(), &end);
        if (end == line.c_str() || std::string(end) != " \r") {
            ++c.badLines;
            continue;
        }
        Count(c, tow);
    }
    return c;
}
