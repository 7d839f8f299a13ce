#include "dump_run.h"

#include <cstdio>

#include "dump_format.h"
#include "dump_track.h"
#include "platform/clock.h"

namespace {

// Lines are gathered and written in large blocks: a stream call per field
// or per line would cost more than the decoding.
constexpr size_t kFlushAt = 256 * 1024;

// "2026-12-09T13:45:10.123456789Z"
void FormatUtc(int64_t utcNs, char (&out)[40])
{
    const UtcTime t = NanosecondsToUtcTime(utcNs);
    const long long fraction = ((utcNs % 1000000000) + 1000000000) % 1000000000;
    std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d.%09lldZ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, fraction);
}

} // namespace

Dumper::Dumper(std::ostream& out, DumpOutput output, bool hex)
    : out_(out), output_(output), hex_(hex), track_(MakeTrackWriter(output))
{
    if (track_) {
        trackText_.reserve(kFlushAt + 64 * 1024);
        track_->Begin(trackText_);
    } else {
        lines_.resize(kFlushAt + 64 * 1024);
    }
}

Dumper::~Dumper() = default;

void Dumper::Flush()
{
    out_.write(lines_.data(), static_cast<std::streamsize>(used_));
    out_.write(trackText_.data(), static_cast<std::streamsize>(trackText_.size()));
    used_ = 0;
    trackText_.clear();
}

void Dumper::WritePending()
{
    Flush();
    out_.flush();
}

void Dumper::WriteLine(const ScannedPacket& p, const char* key)
{
    fields_.Clear();
    DumpRecord r;
    r.id = p.id;
    r.key = key;
    r.offset = p.offset;
    r.length = p.length;
    r.fragment = !p.hasStart;
    r.data = p.data;
    r.withHex = hex_;
    char time[40] = "-"; // a frame the index does not cover
    if (times_ && times_->Count() > 0) {
        // Frames and index records come in the same order.
        while (timeCursor_ + 1 < times_->Count() && times_->At(timeCursor_ + 1).offset <= p.offset)
            ++timeCursor_;
        const TimeIndexRecord record = times_->At(timeCursor_);
        if (record.offset == p.offset)
            FormatUtc(record.utcNs, time);
    }
    if (times_)
        r.time = time;
    // A fragment carries the previous packet's id over bytes of another: not decoded.
    r.decoded = p.hasStart && DecodePacketFields(p.id, p.data, p.length, &fields_);
    r.fields = &fields_;
    const size_t bound = LineBound(r);
    if (used_ + bound > lines_.size()) {
        Flush();
        if (bound > lines_.size())
            lines_.resize(bound);
    }
    char* begin = lines_.data() + used_;
    char* end = output_ == DumpOutput::Json ? WriteJsonLine(begin, r) : WriteTextLine(begin, r);
    used_ += static_cast<size_t>(end - begin);
}

void Dumper::OnPacket(const ScannedPacket& p)
{
    char key[8];
    PacketKey(p.id, p.data, p.length, key);
    if (p.id == 0x8F && p.length > 0)
        ++subCounts8F_[p.data[0]];
    else if (p.id == 0x1C && p.length > 0)
        ++subCounts1C_[p.data[0]];
    else
        ++idCounts_[p.id & 0xFF];
    ++summary_.packets;

    if (!track_)
        WriteLine(p, key);
    else if (p.hasStart) // a fragment's id belongs to another packet
        track_->OnPacket(p.id, p.data, p.length, trackText_);
    if (used_ >= kFlushAt || trackText_.size() >= kFlushAt)
        Flush();
}

void Dumper::Feed(const uint8_t* bytes, size_t count)
{
    scanner_.Feed(bytes, count, [this](const ScannedPacket& p) { OnPacket(p); });
}

const DumpSummary& Dumper::Finish()
{
    if (!finished_) {
        finished_ = true;
        if (track_)
            track_->End(trackText_);
        char key[8];
        for (int id = 0; id < 256; ++id) {
            const uint8_t sub = static_cast<uint8_t>(id);
            if (idCounts_[id]) {
                PacketKey(id, nullptr, 0, key);
                summary_.counts[key] = idCounts_[id];
            }
            if (subCounts8F_[id]) {
                PacketKey(0x8F, &sub, 1, key);
                summary_.counts[key] = subCounts8F_[id];
            }
            if (subCounts1C_[id]) {
                PacketKey(0x1C, &sub, 1, key);
                summary_.counts[key] = subCounts1C_[id];
            }
        }
    }
    summary_.bytes = scanner_.BytesSeen();
    summary_.bytesOutsideFrames = scanner_.BytesOutsideFrames();
    summary_.incompleteTailBytes = scanner_.PendingBytes();
    Flush();
    out_.flush();
    return summary_;
}

void Dumper::WriteSummary(std::ostream& out) const
{
    out << "packets " << summary_.packets << ", bytes " << summary_.bytes << ", outside frames "
        << summary_.bytesOutsideFrames << ", incomplete at end " << summary_.incompleteTailBytes << '\n';
    for (const auto& [key, n] : summary_.counts)
        out << "  " << key << ' ' << n << '\n';
}

DumpSummary DumpBuffer(const uint8_t* bytes, size_t count, bool json, std::ostream& out, bool hex)
{
    Dumper dumper(out, json, hex);
    dumper.Feed(bytes, count);
    return dumper.Finish();
}
