// The data log's record line and the small rules around it: which values a
// record holds, the file name of a port, the interval text and the elapsed
// time across the end of the GPS week. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/port_reports.h"

// The record's value groups, in the order they appear in a line.
enum class LogField {
    TOW,
    Bias,
    BiasRate,
    Levels,
    PosLLA,
    PosXYZ,
    VelENU,
    VelXYZ,
    Mode,
    Health,
    DGPS,
    DOPs,
};
constexpr int kLogFields = 12;

// Which groups go into a record.
using LogSelection = std::array<bool, kLogFields>;

// One record line without its line end: each selected value followed by one
// blank; empty when nothing is selected.
std::string BuildLogLine(const LogSelection& selection, const PortReportRecord& reports);

// After a record: restart the weakest-level latch of all channels and forget
// the channels' last satellite and level.
void RestartLevelLatch(PortReportRecord& reports);

// "%s%d.dat" of the root and the COM number, at any length.
std::string LogFileName(const std::string& root, int com);

// The interval text read as a decimal integer, as "%d" reads it; the previous
// value when the text holds no number; never below 1.
int32_t ParseLogInterval(const std::string& text, int32_t previous);

// later - earlier, plus one week when the difference is negative.
float ElapsedWeekSeconds(float later, float earlier);

// The last record as shown in the window: " " then the line with every blank
// made "/", without the final separator.
std::string LastSetText(const std::string& line);
