// The reports a receiver sends once per position fix: what a recording is
// paced by when it has no time index, and what "one fix" means to a step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// A key for the kind of fix report (id and, for 0x8F, its sub-id), or -1
// when the packet is no fix report. data holds the bytes after the id.
int FixReportKey(int id, const uint8_t* data, size_t length);
// The fix's time of week in seconds, when the report carries one.
std::optional<double> FixTimeOfWeek(int id, const uint8_t* data, size_t length);
