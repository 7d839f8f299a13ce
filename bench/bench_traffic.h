// Receiver traffic for the benchmarks: what real receivers sent (the
// captures kept for the tests) and what the simulator sends while the
// monitor polls it, both framed as on the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Every capture of tests/data/captures, concatenated in name order.
std::vector<uint8_t> CaptureTraffic();

// At least minBytes of a simulated receiver's output, second after second,
// while it is asked for health, satellite selection and tracking each
// second as the poll timer does. Deterministic.
std::vector<uint8_t> SimulatorTraffic(size_t minBytes);

