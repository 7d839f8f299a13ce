#include "sim/replay_source.h"

#include <cmath>

#include "link/frame_scanner.h"

namespace {

// Reports a receiver sends once per position fix, by id and 0x8F sub-id.
struct FixReport {
    int id;
    int subId; // -1: none
};

constexpr FixReport kFixReports[] = {{0x4A, -1}, {0x84, -1}, {0x42, -1}, {0x83, -1},
                                     {0x8F, 0x20}, {0x8F, 0x23}, {0x8F, 0xAB}};

int KeyOf(int id, int subId) { return (id << 8) | (subId & 0xFF); }

int FixKey(const ScannedPacket& p)
{
    if (!p.hasStart)
        return -1;
    for (const FixReport& r : kFixReports) {
        if (r.id != p.id)
            continue;
        if (r.subId < 0)
            return KeyOf(r.id, 0);
        if (p.length > 0 && p.data[0] == r.subId)
            return KeyOf(r.id, r.subId);
    }
    return -1;
}

} // namespace

std::vector<ReplaySegment> SplitRecording(const std::vector<uint8_t>& recording)
{
    std::vector<ReplaySegment> segments;
    std::vector<int> keys;
    FrameScanner scanner;
    uint64_t end = 0;
    scanner.Feed(recording.data(), recording.size(), [&](const ScannedPacket& p) {
        const uint64_t stop = p.offset + p.frameBytes;
        segments.push_back({std::vector<uint8_t>(recording.begin() + static_cast<long>(end),
                                                 recording.begin() + static_cast<long>(stop)),
                            false});
        keys.push_back(FixKey(p));
        end = stop;
    });
    if (end < recording.size())
        segments.push_back({std::vector<uint8_t>(recording.begin() + static_cast<long>(end), recording.end()), false});

    int pacing = -1;
    for (int key : keys)
        if (key >= 0) {
            pacing = key;
            break;
        }
    for (size_t i = 0; i < keys.size(); ++i)
        segments[i].endsFix = pacing >= 0 && keys[i] == pacing;
    return segments;
}

ReplaySource::ReplaySource(const std::vector<uint8_t>& recording, bool fast, bool loop, int baud)
    : segments_(SplitRecording(recording)), fast_(fast), loop_(loop), baud_(baud)
{
}

void ReplaySource::Advance(double seconds)
{
    if (seconds > 0 && std::isfinite(seconds))
        clock_ += seconds;
    // At most one pass over the recording per call, so a loop cannot spin.
    for (size_t released = 0; released < segments_.size(); ++released) {
        if (next_ >= segments_.size()) {
            if (!loop_)
                return;
            next_ = 0;
        }
        if (!fast_ && clock_ < releaseAt_)
            return;
        const ReplaySegment& s = segments_[next_++];
        output_.insert(output_.end(), s.bytes.begin(), s.bytes.end());
        if (s.endsFix)
            releaseAt_ += 1.0;
    }
}

std::vector<uint8_t> ReplaySource::TakeOutput()
{
    std::vector<uint8_t> out;
    out.swap(output_);
    return out;
}
