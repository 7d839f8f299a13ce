// Reads back a data log file that holds the time of week only, one record
// a second, and counts what is not as it should be.
#pragma once

#include <cstdint>
#include <string>

struct LogCheck {
    uint64_t records = 0;
    uint64_t missing = 0;  // seconds skipped between two records
    uint64_t repeated = 0; // records not later than the one before
    uint64_t badLines = 0; // lines that are not "TOW " with a CR LF end
    double firstTow = -1;
    double lastTow = -1;
};

LogCheck CheckTimeOfWeekLog(const std::string& path);
