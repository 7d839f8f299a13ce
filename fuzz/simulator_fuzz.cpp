// Any bytes as the monitor's side of the line into a fresh simulated
// receiver: byte 0 sets the virtual seconds between reads (0 to 7.5), byte 1
// the size of each piece fed before time moves on (at least 1/64 of the
// rest). Never a crash, and every report the receiver sends is whole and of
// its report's own layout.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/frame_scanner.h"
#include "report_codecs.h"
#include "sim/receiver_simulator.h"

namespace {

const ReportCodec* CodecFor(const ScannedPacket& p)
{
    const int subId = p.length > 0 ? p.data[0] : -1;
    for (const ReportCodec& codec : kReportCodecs)
        if (codec.id == p.id && (codec.subId < 0 || codec.subId == subId))
            return &codec;
    return nullptr;
}

void CheckOutput(const std::vector<uint8_t>& out)
{
    FrameScanner scanner;
    scanner.Feed(out.data(), out.size(), [](const ScannedPacket& p) {
        const ReportCodec* codec = CodecFor(p);
        if (!p.hasStart || !codec || !codec->roundTrip(p.data, p.length))
            __builtin_trap();
    });
    if (scanner.PendingBytes() != 0 || scanner.BytesOutsideFrames() != 0)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const double step = (data[0] & 0x0F) * 0.5;
    // At most 64 pieces: the virtual time, and so the run, stays short.
    const size_t piece = std::max(size_t{data[1]} + 1, (size - 2) / 64 + 1);
    ReceiverSimulator receiver{SimOptions{}};
    CheckOutput(receiver.TakeOutput());
    for (size_t at = 2; at < size; at += piece) {
        receiver.Receive(data + at, std::min(piece, size - at));
        receiver.Advance(step);
        CheckOutput(receiver.TakeOutput());
    }
    receiver.Advance(1.0);
    CheckOutput(receiver.TakeOutput());
    return 0;
}
