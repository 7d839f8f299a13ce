#include "model/history_series.h"

#include <algorithm>
#include <cmath>

namespace {

// Fix dimension codes 3 (2-D) and 4 (3-D) are position fixes; below them there is none.
bool HasPositionFix(const HistorySample& s) { return s.fixDimension >= 3; }

double OrNan(int v) { return v < 0 ? NAN : v; }

} // namespace

std::string QuantityCaption(HistoryQuantity q)
{
    static const char* const kCaptions[] = {
        "Fix dimension", "Satellites used", "PDOP", "HDOP", "VDOP", "TDOP", "Latitude (deg)",
        "Longitude (deg)", "Altitude (m)", "Clock bias (ns)", "Bias rate (ppb)", "Best signal level",
        "Mean signal level", "Port state (1 open, 2 quiet, 3 lost)"};
    const auto i = static_cast<size_t>(q);
    return i < std::size(kCaptions) ? kCaptions[i] : "";
}

double QuantityValue(const HistorySample& s, HistoryQuantity q)
{
    switch (q) {
    case HistoryQuantity::FixDimension: return s.fixDimension < 0 ? NAN : std::max(s.fixDimension - 1, 0); // code 4 is 3-D
    case HistoryQuantity::Satellites: return OrNan(s.satellites);
    case HistoryQuantity::Pdop: return s.pdop;
    case HistoryQuantity::Hdop: return s.hdop;
    case HistoryQuantity::Vdop: return s.vdop;
    case HistoryQuantity::Tdop: return s.tdop;
    case HistoryQuantity::Latitude: return s.latDeg;
    case HistoryQuantity::Longitude: return s.lonDeg;
    case HistoryQuantity::Altitude: return s.altM;
    case HistoryQuantity::ClockBias: return s.clockBiasS * 1e9;
    case HistoryQuantity::BiasRate: return s.biasRatePpb;
    case HistoryQuantity::BestLevel: return s.bestLevel;
    case HistoryQuantity::MeanLevel: return s.meanLevel;
    case HistoryQuantity::PortState: return static_cast<double>(s.state);
    case HistoryQuantity::Count: break;
    }
    return NAN;
}

std::vector<SeriesColumn> DecimateSeries(std::span<const HistorySample> samples, HistoryQuantity q, int64_t from,
                                         int64_t to, int columns)
{
    std::vector<SeriesColumn> out(static_cast<size_t>(std::max(columns, 0)));
    if (columns <= 0 || to <= from)
        return out;
    const double perColumn = static_cast<double>(to - from) / columns;
    auto first = std::lower_bound(samples.begin(), samples.end(), from,
                                  [](const HistorySample& s, int64_t t) { return s.unixSecond < t; });
    for (auto it = first; it != samples.end() && it->unixSecond <= to; ++it) {
        const double v = QuantityValue(*it, q);
        if (std::isnan(v))
            continue;
        const auto c = std::min(static_cast<size_t>(static_cast<double>(it->unixSecond - from) / perColumn),
                                out.size() - 1);
        SeriesColumn& col = out[c];
        col.min = std::isnan(col.min) ? v : std::min(col.min, v);
        col.max = std::isnan(col.max) ? v : std::max(col.max, v);
    }
    return out;
}

std::vector<HistoryEvent> HistoryEvents(std::span<const HistorySample> samples)
{
    std::vector<HistoryEvent> events;
    for (size_t i = 1; i < samples.size(); ++i) {
        const HistorySample &before = samples[i - 1], &now = samples[i];
        if (now.state == PortState::Lost && before.state != PortState::Lost)
            events.push_back({now.unixSecond, HistoryEventKind::PortLost});
        else if (now.state != PortState::Lost && before.state == PortState::Lost)
            events.push_back({now.unixSecond, HistoryEventKind::PortReopened});
        else if (HasPositionFix(before) && !HasPositionFix(now) && now.state != PortState::Lost)
            events.push_back({now.unixSecond, HistoryEventKind::FixLost});
    }
    return events;
}

const HistorySample* SampleAt(std::span<const HistorySample> samples, int64_t unixSecond, int64_t within)
{
    auto it = std::upper_bound(samples.begin(), samples.end(), unixSecond,
                               [](int64_t t, const HistorySample& s) { return t < s.unixSecond; });
    if (it == samples.begin())
        return nullptr;
    --it;
    return unixSecond - it->unixSecond <= within ? &*it : nullptr;
}
