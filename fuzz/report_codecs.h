// The report parse/encode pairs of link/packets.h in one table, so the packet
// fuzz target and its seed generator agree on which first byte picks which.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/packets.h"

struct ReportCodec {
    uint8_t id;
    int subId; // first data byte for id 0x8F, else -1
    // Parses the data, encodes the result and parses and encodes that again:
    // false when the data was refused; aborts when the two encodings differ.
    bool (*roundTrip)(const uint8_t* data, size_t len);
};

namespace report_codecs {

// Encoding what a parse gave must be stable: parse(encode(r)) encodes to the
// same bytes (compared as bytes, so NaN fields compare too).
template <class R, bool (*Parse)(const uint8_t*, size_t, R&), size_t (*Encode)(const R&, uint8_t*)>
bool RoundTrip(const uint8_t* data, size_t len)
{
    R first;
    if (!Parse(data, len, first))
        return false;
    uint8_t a[kMaxPacketMessage] = {};
    const size_t lenA = Encode(first, a);
    R second;
    if (lenA < 1 || lenA > kMaxPacketMessage || !Parse(a + 1, lenA - 1, second))
        __builtin_trap();
    uint8_t b[kMaxPacketMessage] = {};
    const size_t lenB = Encode(second, b);
    if (lenA != lenB || std::memcmp(a, b, lenA) != 0)
        __builtin_trap();
    return true;
}

} // namespace report_codecs

#define JX_CODEC(id, sub, name) \
    ReportCodec { id, sub, &report_codecs::RoundTrip<Report##name, &ParseReport##name, &EncodeReport##name> }

inline constexpr std::array<ReportCodec, 21> kReportCodecs = {
    JX_CODEC(0x41, -1, 41), JX_CODEC(0x42, -1, 42), JX_CODEC(0x43, -1, 43),   JX_CODEC(0x45, -1, 45),
    JX_CODEC(0x46, -1, 46), JX_CODEC(0x4A, -1, 4A), JX_CODEC(0x4B, -1, 4B),   JX_CODEC(0x4E, -1, 4E),
    JX_CODEC(0x55, -1, 55), JX_CODEC(0x56, -1, 56), JX_CODEC(0x58, -1, 58),   JX_CODEC(0x5C, -1, 5C),
    JX_CODEC(0x6D, -1, 6D), JX_CODEC(0x70, -1, 70), JX_CODEC(0x82, -1, 82),   JX_CODEC(0x83, -1, 83),
    JX_CODEC(0x84, -1, 84), JX_CODEC(0x8F, 0x15, 8F15), JX_CODEC(0x8F, 0x26, 8F26), JX_CODEC(0xBB, -1, BB),
    JX_CODEC(0xBC, -1, BC),
};

#undef JX_CODEC

// Selector values past the reports pick the command parser; the byte after
// the selector is then the command id.
constexpr size_t kCommandSelector = kReportCodecs.size();
