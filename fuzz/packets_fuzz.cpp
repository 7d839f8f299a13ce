// Any bytes into the parse functions of link/packets.h: the first byte picks
// a report parser (or, past the reports, the command parser with the next
// byte as command id). Never a crash, and what parses re-encodes stably.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/packets.h"
#include "report_codecs.h"

namespace {

void CommandRoundTrip(uint8_t id, const uint8_t* data, size_t len)
{
    Command first;
    if (!ParseCommand(id, data, len, first))
        return;
    uint8_t a[kMaxPacketMessage] = {};
    const size_t lenA = EncodeCommand(first, a);
    Command second;
    if (lenA < 1 || lenA > kMaxPacketMessage || !ParseCommand(a[0], a + 1, lenA - 1, second))
        __builtin_trap();
    uint8_t b[kMaxPacketMessage] = {};
    const size_t lenB = EncodeCommand(second, b);
    if (lenA != lenB || std::memcmp(a, b, lenA) != 0 || first.kind != second.kind)
        __builtin_trap();
}

// The length rules the dispatch and the dump rely on must match the parsers.
void CheckLengthRule(const ReportCodec& codec, size_t len, bool parsed)
{
    const int expected = ExpectedReportLength(codec.id, codec.subId);
    const bool minimum = ReportLengthIsMinimum(codec.id, codec.subId);
    if (parsed && (expected < 0 || len < static_cast<size_t>(expected)))
        __builtin_trap();
    if (parsed && !minimum && len != static_cast<size_t>(expected))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size - 1 > kMaxReportData + 1)
        return 0;
    const size_t selector = data[0] % (kCommandSelector + 1);
    if (selector == kCommandSelector) {
        if (size >= 2)
            CommandRoundTrip(data[1], data + 2, size - 2);
        return 0;
    }
    const ReportCodec& codec = kReportCodecs[selector];
    const size_t len = size - 1;
    CheckLengthRule(codec, len, codec.roundTrip(data + 1, len));
    return 0;
}
