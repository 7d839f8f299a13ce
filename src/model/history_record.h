// One second of a receiver's history and its fixed-size 32-byte record on
// disk: a week of one receiver stays under 20 MB. Values a receiver has not
// reported are NaN (or -1) and are stored as such.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/stability.h"

enum class PortState : uint8_t { Open = 1, Quiet = 2, Lost = 3 };

struct HistorySample {
    int64_t unixSecond = 0;  // PC time (UTC) of the second the values were last seen in
    PortState state = PortState::Open;
    int fixDimension = -1;   // 0..7 as the receiver reports it, -1 unknown
    int satellites = -1;     // used in the fix, -1 unknown
    double latDeg = NAN, lonDeg = NAN, altM = NAN;
    double pdop = NAN, hdop = NAN, vdop = NAN, tdop = NAN;
    double clockBiasS = NAN;
    double biasRatePpb = NAN;
    double bestLevel = NAN, meanLevel = NAN; // of the tracked channels
    // The receiver's own time of the fix, whole seconds on any scale (seconds of
    // the week will do); only its steps are kept (modulo 256), so that the
    // clock bias can be placed by fix time. -1: none.
    int64_t fixSecond = -1;
};

constexpr size_t kHistoryRecordSize = 32;
constexpr size_t kHistoryHeaderSize = 16;
constexpr int64_t kDaySeconds = 86400;

// Record of a sample within the UTC day that starts at dayStart. Values are
// rounded to the record's steps (1e-7 degree, 1 cm, 1 ps, 0.01 ppb, 0.01 DOP,
// 0.25 level) and clamped to its ranges.
void EncodeHistoryRecord(const HistorySample& s, int64_t dayStart, uint8_t* out);
// False for bytes that are no record of that day (torn, zero-filled, damaged).
bool DecodeHistoryRecord(const uint8_t* in, int64_t dayStart, HistorySample* s);

// The header of a day file: a magic text and the day's first second.
void EncodeHistoryHeader(int64_t dayStart, uint8_t* out);
bool DecodeHistoryHeader(const uint8_t* in, int64_t* dayStart);

// The clock bias of samples as phase, placed by the receiver's fix time: the
// PC second moved by how far the fix time stepped away from its usual offset
// to the PC clock (a late or early report does not shift the phase).
std::vector<PhaseSample> PhaseSamplesOf(std::span<const HistorySample> samples);

// The same, sample by sample, keeping only what the phase needs (17 bytes a
// sample, not the whole sample): a receiver-week read straight from its files.
class PhaseSampleCollector {
public:
    void Add(const HistorySample& s);
    std::vector<PhaseSample> Finish();

private:
    std::vector<PhaseSample> phase_; // at the PC second until Finish
    std::vector<uint8_t> offset_;    // fix time minus PC second, modulo 256
    size_t counts_[256] = {};
};
