#include "model/replay/recording_timeline.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <filesystem>

#include "link/frame_scanner.h"
#include "link/packets.h"
#include "model/replay/fix_reports.h"

namespace {

constexpr int64_t kSecondNs = 1000000000;
constexpr double kWeekS = 604800.0;
constexpr int64_t kGpsEpochUnixS = 315964800; // 1980-01-06 00:00:00 UTC
constexpr size_t kScanChunk = 1 << 16;

// The time between two fixes from their times of week: a week rollover is
// undone, and a step back or beyond a day is taken as the usual second.
int64_t FixStepNs(double previous, double current)
{
    double step = current - previous;
    if (step < -kWeekS / 2)
        step += kWeekS;
    if (!(step > 0) || step > 86400.0)
        return kSecondNs;
    return static_cast<int64_t>(std::llround(step * 1e9));
}

int64_t FileTimeNs(const std::string& path)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error)
        return 0;
    const auto system = std::chrono::file_clock::to_sys(written);
    return std::chrono::duration_cast<std::chrono::nanoseconds>(system.time_since_epoch()).count();
}

} // namespace

bool RecordingTimeline::Open(const std::string& path, std::string* error)
{
    Close();
    std::error_code sizeError;
    size_ = std::filesystem::file_size(path, sizeError);
    file_ = sizeError ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file_) {
        if (error)
            *error = "cannot read " + path;
        return false;
    }
    indexed_ = index_.Open(TimeIndexPath(path), size_);
    if (indexed_)
        FindFixKey();
    else if (!DeriveFromFixTimes(path)) {
        if (error)
            *error = path + " holds no frame";
        Close();
        return false;
    }
    return true;
}

void RecordingTimeline::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    index_.Close();
    indexed_ = false;
    derived_.clear();
    size_ = 0;
    fixKey_ = -1;
}

int64_t RecordingTimeline::TimeOf(uint64_t i)
{
    if (Count() == 0)
        return 0;
    i = std::min(i, Count() - 1);
    return indexed_ ? index_.At(i).utcNs : derived_[i].utcNs;
}

uint64_t RecordingTimeline::FrameOffset(uint64_t i)
{
    if (i >= Count())
        return size_;
    return indexed_ ? index_.At(i).offset : derived_[i].offset;
}

uint64_t RecordingTimeline::Begin(uint64_t i) { return i == 0 ? 0 : FrameOffset(i); }

uint64_t RecordingTimeline::FirstAtOrAfter(int64_t utcNs)
{
    if (indexed_)
        return index_.FirstAtOrAfter(utcNs);
    auto it = std::lower_bound(derived_.begin(), derived_.end(), utcNs,
                               [](const TimeIndexRecord& r, int64_t t) { return r.utcNs < t; });
    return static_cast<uint64_t>(it - derived_.begin());
}

uint64_t RecordingTimeline::FirstAfter(int64_t utcNs)
{
    return utcNs == INT64_MAX ? Count() : FirstAtOrAfter(utcNs + 1);
}

size_t RecordingTimeline::ReadBytes(uint64_t offset, uint8_t* out, size_t count)
{
    if (!file_ || offset >= size_ || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(out, 1, count, file_);
}

bool RecordingTimeline::StartsFix(uint64_t i)
{
    if (fixKey_ < 0)
        return true;
    // DLE, id, and for 0x8F the sub-id (never a DLE for a fix report).
    uint8_t head[3] = {};
    const size_t got = ReadBytes(FrameOffset(i), head, sizeof head);
    return got >= 2 && head[0] == 0x10 && FixReportKey(head[1], head + 2, got - 2) == fixKey_;
}

// The first fix report near the start decides what a fix is.
void RecordingTimeline::FindFixKey()
{
    std::vector<uint8_t> bytes(kScanChunk);
    bytes.resize(ReadBytes(0, bytes.data(), bytes.size()));
    FrameScanner scanner;
    scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) {
        if (fixKey_ < 0 && p.hasStart)
            fixKey_ = FixReportKey(p.id, p.data, p.length);
    });
}

// One part per fix report of the first kind met, due at its fix time; the
// first fix placed by the first GPS time report, or else so that the last
// fix falls on the file's modification time.
bool RecordingTimeline::DeriveFromFixTimes(const std::string& path)
{
    FrameScanner scanner;
    std::vector<uint8_t> chunk(kScanChunk);
    double lastTow = -1;
    int64_t clock = 0;
    std::optional<Report41> gpsTime;
    std::optional<double> firstTow;
    bool anyFrame = false;
    const auto onPacket = [&](const ScannedPacket& p) {
        anyFrame = true;
        if (!p.hasStart)
            return;
        if (!gpsTime && p.id == 0x41) {
            Report41 r;
            if (ParseReport41(p.data, p.length, r))
                gpsTime = r;
        }
        const int key = FixReportKey(p.id, p.data, p.length);
        if (key < 0 || (fixKey_ >= 0 && key != fixKey_))
            return;
        fixKey_ = key;
        const std::optional<double> tow = FixTimeOfWeek(p.id, p.data, p.length);
        if (!derived_.empty())
            clock += (tow && lastTow >= 0) ? FixStepNs(lastTow, *tow) : kSecondNs;
        if (tow) {
            lastTow = *tow;
            if (!firstTow)
                firstTow = tow;
        }
        derived_.push_back({p.offset, clock});
    };
    for (uint64_t at = 0; at < size_;) {
        const size_t got = ReadBytes(at, chunk.data(), chunk.size());
        if (got == 0)
            break;
        scanner.Feed(chunk.data(), got, onPacket);
        at += got;
    }
    if (!anyFrame)
        return false;
    if (derived_.empty())
        derived_.push_back({0, 0}); // no fix at all: the whole file at once
    int64_t base = FileTimeNs(path) - derived_.back().utcNs;
    if (gpsTime && firstTow) {
        const double gpsS = gpsTime->week * kWeekS + *firstTow - gpsTime->utcOffsetS;
        base = (kGpsEpochUnixS + static_cast<int64_t>(std::floor(gpsS))) * kSecondNs +
               static_cast<int64_t>(std::llround((gpsS - std::floor(gpsS)) * 1e9));
    }
    for (TimeIndexRecord& r : derived_)
        r.utcNs += base;
    return true;
}
