#include "model/history_feed.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "link/replayed_ports.h"
#include "model/fix_scatter.h"
#include "model/port_reports.h"
#include "platform/port_enumeration.h"

namespace {

constexpr int32_t kQuietMs = 5000; // as the port overview calls a port quiet
constexpr int64_t kPruneEverySeconds = 3600;

void TakeLevels(const PortReportRecord& r, HistorySample* s)
{
    double best = NAN, sum = 0;
    int count = 0;
    for (size_t c = 0; c < static_cast<size_t>(kTrackChannels); ++c) {
        if (r.chanPrn[c] == 0 || r.chanTimeout[c] <= 0)
            continue;
        const double level = r.chanLevel[c];
        best = std::isnan(best) ? level : std::max(best, level);
        sum += level;
        ++count;
    }
    s->bestLevel = best;
    s->meanLevel = count ? sum / count : NAN;
}

} // namespace

HistorySample SampleOfPort(const PortRecord& port, const PortReportRecord& r, int64_t unixSecond,
                           float* lastFixTime)
{
    HistorySample s;
    s.unixSecond = unixSecond;
    s.state = port.lost ? PortState::Lost
              : port.traffic.quietMs >= kQuietMs ? PortState::Quiet
                                                 : PortState::Open;
    if (s.state != PortState::Open)
        return s; // what the record holds is from before: not this second's
    // The last fix report, 0x6D or 0x6C (its own count kept in the mode byte),
    // whichever status report came after it.
    if (r.fix.fixModeBits != 0) {
        s.fixDimension = r.fix.DimensionCode();
        s.satellites = r.fix.SatelliteCount();
        s.pdop = r.pdop, s.hdop = r.hdop, s.vdop = r.vdop, s.tdop = r.tdop;
    }
    if (const std::optional<Ecef> fix = LastFixOf(r)) {
        const Geodetic g = EcefToGeodetic(*fix);
        s.latDeg = g.latRad * 180 / std::numbers::pi, s.lonDeg = g.lonRad * 180 / std::numbers::pi, s.altM = g.altM;
    }
    if (r.velocityId != 0)
        s.biasRatePpb = r.biasRatePpb;
    if (const std::optional<ClockReading> clock = LatestClock(r); clock && clock->fixTime != *lastFixTime) {
        *lastFixTime = clock->fixTime;
        s.clockBiasS = clock->biasNs * 1e-9;
        s.fixSecond = static_cast<int64_t>(std::lround(clock->fixTime));
        if (std::isnan(s.biasRatePpb))
            s.biasRatePpb = clock->biasRatePpb;
    }
    TakeLevels(r, &s);
    return s;
}

HistoryFeed::HistoryFeed(std::string root, int keepDays) : root_(std::move(root)), keepDays_(keepDays) {}

HistoryFeed::~HistoryFeed() { Flush(); }

HistoryFeed::Receiver& HistoryFeed::ReceiverOf(int slot)
{
    Receiver& receiver = receivers_[static_cast<size_t>(slot)];
    const std::string folder = root_ + "/" + HistoryFolderName(slot + 1, ComDevicePath(slot + 1));
    if (!receiver.writer || receiver.folder != folder) { // another device took the COM number
        receiver.folder = folder;
        receiver.writer = std::make_unique<HistoryWriter>(folder, keepDays_);
        receiver.lastFixTime = -1;
    }
    return receiver;
}

void HistoryFeed::Tick(int64_t unixSecond)
{
    const bool prune = unixSecond - lastPrune_ >= kPruneEverySeconds;
    for (int slot = 0; slot < kPortSlots; ++slot) {
        const PortRecord& port = PortTable[static_cast<size_t>(slot)];
        if ((!port.open && !port.lost) || (IsReplayedPort(port) && !LogReplayedPorts))
            continue;
        Receiver& receiver = ReceiverOf(slot);
        receiver.writer->Append(SampleOfPort(port, PortReports[static_cast<size_t>(slot)], unixSecond,
                                             &receiver.lastFixTime));
        if (prune)
            receiver.writer->Prune(unixSecond);
    }
    if (prune)
        lastPrune_ = unixSecond;
}

void HistoryFeed::Flush()
{
    for (Receiver& receiver : receivers_)
        if (receiver.writer)
            receiver.writer->Flush();
}

std::vector<std::string> HistoryFeed::TakeErrors()
{
    std::vector<std::string> errors;
    for (Receiver& receiver : receivers_)
        if (receiver.writer)
            if (std::optional<std::string> e = receiver.writer->TakeError())
                errors.push_back(std::move(*e));
    return errors;
}
