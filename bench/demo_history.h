// History made from the demo's simulated receivers, second after second on a
// virtual clock, through the port record the monitor fills: for the
// benchmarks and for the README's pictures of the Trends window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/history_record.h"

// `seconds` samples of demo receiver `index` (0..2 are the demo's three) from
// startUnix on. A port lost for lostSeconds from lostAt (none when lostSeconds is 0).
std::vector<HistorySample> DemoHistory(int index, int64_t startUnix, int64_t seconds, int64_t lostAt = 0,
                                       int64_t lostSeconds = 0);

// A week of demo receiver 0 from startUnix on: its first simulated day seven times.
std::vector<HistorySample> DemoWeek(int64_t startUnix);

// Writes samples to the receiver folder under root; returns the bytes on disk.
uint64_t WriteHistory(const std::string& folder, const std::vector<HistorySample>& samples);
