#include "model/history_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr char kMagic[8] = {'J', 'X', 'H', 'I', 'S', 'T', '1', '\n'};

// Layout: bytes 0-7 a little-endian word of small fields (second of day 17
// bits, fix dimension 3, state 2, satellites 5, HDOP/VDOP/TDOP 12 each, one
// spare); 8 latitude and 12 longitude (int32, 1e-7 degree); 16 altitude
// (int24, cm); 19 clock bias (int48, ps); 25 bias rate (int24, 0.01 ppb); 28
// fix-time step (uint8); 29 best and 30 mean level (uint8, 0.25); 31 a check
// byte over the rest. The most negative integer of a field (all ones for the
// unsigned ones) means "not reported".

void PutInt(uint8_t* at, int64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
}

int64_t GetInt(const uint8_t* at, int bytes)
{
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint64_t>(at[i]) << (8 * i);
    const int shift = 64 - 8 * bytes; // sign-extend
    return static_cast<int64_t>(v << shift) >> shift;
}

int64_t MinOf(int bits) { return -(int64_t{1} << (bits - 1)); }

// A value in steps of `unit`, clamped into a signed field of `bits`; the minimum means none.
int64_t Quantise(double value, double unit, int bits)
{
    if (!std::isfinite(value))
        return MinOf(bits);
    const double steps = std::round(value / unit);
    const double top = static_cast<double>(-MinOf(bits) - 1);
    return static_cast<int64_t>(std::clamp(steps, -top, top));
}

double Restore(int64_t stored, double unit, int bits) { return stored == MinOf(bits) ? NAN : stored * unit; }

// Unsigned field of `bits`: all ones means none.
uint64_t QuantiseUnsigned(double value, double unit, int bits)
{
    const uint64_t none = (uint64_t{1} << bits) - 1;
    if (!std::isfinite(value) || value < 0)
        return none;
    return static_cast<uint64_t>(std::min(std::round(value / unit), static_cast<double>(none - 1)));
}

double RestoreUnsigned(uint64_t stored, double unit, int bits)
{
    return stored == (uint64_t{1} << bits) - 1 ? NAN : static_cast<double>(stored) * unit;
}

uint8_t CheckByte(const uint8_t* record)
{
    uint8_t c = 0x5A;
    for (size_t i = 0; i + 1 < kHistoryRecordSize; ++i)
        c = static_cast<uint8_t>((c << 1 | c >> 7) ^ record[i]);
    return c;
}

} // namespace

void EncodeHistoryRecord(const HistorySample& s, int64_t dayStart, uint8_t* out)
{
    const uint64_t second = static_cast<uint64_t>(std::clamp<int64_t>(s.unixSecond - dayStart, 0, kDaySeconds - 1));
    const uint64_t fix = s.fixDimension < 0 || s.fixDimension > 6 ? 7 : static_cast<uint64_t>(s.fixDimension);
    const uint64_t sats = s.satellites < 0 ? 31 : static_cast<uint64_t>(std::min(s.satellites, 30));
    uint64_t word = second | fix << 17 | uint64_t{static_cast<uint8_t>(s.state)} << 20 | sats << 22;
    word |= QuantiseUnsigned(s.hdop, 0.01, 12) << 27 | QuantiseUnsigned(s.vdop, 0.01, 12) << 39 |
            QuantiseUnsigned(s.tdop, 0.01, 12) << 51;
    PutInt(out, static_cast<int64_t>(word), 8);
    PutInt(out + 8, Quantise(s.latDeg, 1e-7, 32), 4);
    PutInt(out + 12, Quantise(s.lonDeg, 1e-7, 32), 4);
    PutInt(out + 16, Quantise(s.altM, 0.01, 24), 3);
    PutInt(out + 19, Quantise(s.clockBiasS, 1e-12, 48), 6);
    PutInt(out + 25, Quantise(s.biasRatePpb, 0.01, 24), 3);
    out[28] = s.fixSecond < 0 ? 0 : static_cast<uint8_t>(s.fixSecond & 0xFF);
    out[29] = static_cast<uint8_t>(QuantiseUnsigned(s.bestLevel, 0.25, 8));
    out[30] = static_cast<uint8_t>(QuantiseUnsigned(s.meanLevel, 0.25, 8));
    out[31] = CheckByte(out);
}

bool DecodeHistoryRecord(const uint8_t* in, int64_t dayStart, HistorySample* s)
{
    if (CheckByte(in) != in[31])
        return false;
    const uint64_t word = static_cast<uint64_t>(GetInt(in, 8));
    const int64_t second = static_cast<int64_t>(word & 0x1FFFF);
    const auto state = static_cast<uint8_t>(word >> 20 & 3);
    if (second >= kDaySeconds || state == 0)
        return false;
    *s = HistorySample{};
    s->unixSecond = dayStart + second;
    s->state = static_cast<PortState>(state);
    const int fix = static_cast<int>(word >> 17 & 7);
    const int sats = static_cast<int>(word >> 22 & 31);
    s->fixDimension = fix == 7 ? -1 : fix;
    s->satellites = sats == 31 ? -1 : sats;
    s->hdop = RestoreUnsigned(word >> 27 & 0xFFF, 0.01, 12);
    s->vdop = RestoreUnsigned(word >> 39 & 0xFFF, 0.01, 12);
    s->tdop = RestoreUnsigned(word >> 51 & 0xFFF, 0.01, 12);
    s->pdop = std::hypot(s->hdop, s->vdop); // position error is horizontal and vertical together
    s->latDeg = Restore(GetInt(in + 8, 4), 1e-7, 32);
    s->lonDeg = Restore(GetInt(in + 12, 4), 1e-7, 32);
    s->altM = Restore(GetInt(in + 16, 3), 0.01, 24);
    s->clockBiasS = Restore(GetInt(in + 19, 6), 1e-12, 48);
    s->biasRatePpb = Restore(GetInt(in + 25, 3), 0.01, 24);
    s->fixSecond = std::isfinite(s->clockBiasS) ? in[28] : -1;
    s->bestLevel = RestoreUnsigned(in[29], 0.25, 8);
    s->meanLevel = RestoreUnsigned(in[30], 0.25, 8);
    return true;
}

void EncodeHistoryHeader(int64_t dayStart, uint8_t* out)
{
    std::memcpy(out, kMagic, sizeof kMagic);
    PutInt(out + 8, dayStart, 8);
}

bool DecodeHistoryHeader(const uint8_t* in, int64_t* dayStart)
{
    if (std::memcmp(in, kMagic, sizeof kMagic) != 0)
        return false;
    *dayStart = GetInt(in + 8, 8);
    return *dayStart % kDaySeconds == 0;
}

void PhaseSampleCollector::Add(const HistorySample& s)
{
    if (s.fixSecond < 0 || !std::isfinite(s.clockBiasS))
        return;
    const auto offset = static_cast<uint8_t>((s.fixSecond - s.unixSecond) & 0xFF);
    ++counts_[offset];
    phase_.push_back({s.unixSecond, s.clockBiasS});
    offset_.push_back(offset);
}

std::vector<PhaseSample> PhaseSampleCollector::Finish()
{
    // The usual offset of the fix time to the PC second is the commonest one;
    // a sample whose offset differs moves by the difference (-128..127 s).
    const auto usual = static_cast<int>(std::max_element(std::begin(counts_), std::end(counts_)) - std::begin(counts_));
    for (size_t i = 0; i < phase_.size(); ++i)
        phase_[i].second += static_cast<int>(((offset_[i] - usual) & 0xFF) ^ 0x80) - 0x80;
    offset_ = {};
    std::fill(std::begin(counts_), std::end(counts_), 0);
    return std::exchange(phase_, {});
}

std::vector<PhaseSample> PhaseSamplesOf(std::span<const HistorySample> samples)
{
    PhaseSampleCollector collector;
    for (const HistorySample& s : samples)
        collector.Add(s);
    return collector.Finish();
}
