#include "model/history_series.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/history_store.h"

namespace {

// Fix dimension codes 3 (2-D) and 4 (3-D) are position fixes; below them there is none.
bool HasPositionFix(const HistorySample& s) { return s.fixDimension >= 3; }

double OrNan(int v) { return v < 0 ? NAN : v; }

// The event between two samples in a row, if any.
std::optional<HistoryEventKind> EventBetween(const HistorySample& before, const HistorySample& now)
{
    if (now.state == PortState::Lost && before.state != PortState::Lost)
        return HistoryEventKind::PortLost;
    if (now.state != PortState::Lost && before.state == PortState::Lost)
        return HistoryEventKind::PortReopened;
    if (HasPositionFix(before) && !HasPositionFix(now) && now.state != PortState::Lost)
        return HistoryEventKind::FixLost;
    return std::nullopt;
}

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

DecimatedHistory ReadDecimated(const std::string& folder, HistoryQuantity q, int64_t from, int64_t to, int columns,
                               const std::atomic<bool>* cancelled)
{
    DecimatedHistory out;
    out.columns.resize(static_cast<size_t>(std::max(columns, 0)));
    if (columns <= 0 || to <= from)
        return out;
    const double perColumn = static_cast<double>(to - from) / columns;
    HistorySample before;
    out.complete = ForEachHistorySample(
        folder, from, to,
        [&](const HistorySample& s) {
            if (out.samples++ > 0)
                if (const std::optional<HistoryEventKind> kind = EventBetween(before, s))
                    out.events.push_back({s.unixSecond, *kind});
            before = s;
            const double v = QuantityValue(s, q);
            if (std::isnan(v))
                return;
            const auto c = std::min(static_cast<size_t>(static_cast<double>(s.unixSecond - from) / perColumn),
                                    out.columns.size() - 1);
            SeriesColumn& col = out.columns[c];
            col.min = std::isnan(col.min) ? v : std::min(col.min, v);
            col.max = std::isnan(col.max) ? v : std::max(col.max, v);
        },
        cancelled);
    return out;
}
