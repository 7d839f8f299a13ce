#include "model/fix_scatter.h"

#include <algorithm>
#include <cmath>

#include "model/port_reports.h"

namespace {

double Square(double v) { return v * v; }

} // namespace

std::optional<Ecef> LastFixOf(const PortReportRecord& r)
{
    constexpr double kNotAPlaceM = 1e6; // well inside the Earth
    switch (r.positionId) {
    case 0x42:
    case 0x83: {
        const Ecef p{r.ecefX, r.ecefY, r.ecefZ};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) ||
            std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z) < kNotAPlaceM)
            return std::nullopt;
        return p;
    }
    case 0x4A:
    case 0x84:
    case kPositionFrom8F20:
    case kPositionFrom8F23:
    case kPositionFrom8FAC: {
        // The classic reports' degrees were made with the program's factor, whose
        // inverse gives the report's radians; the newer reports keep theirs.
        const bool classic = r.positionId == 0x4A || r.positionId == 0x84;
        const Geodetic g{classic ? r.latDeg * DegToRad : r.latRad, classic ? r.lonDeg * DegToRad : r.lonRad, r.altM};
        if (!std::isfinite(g.latRad) || !std::isfinite(g.lonRad) || !std::isfinite(g.altM) ||
            std::fabs(r.latDeg) > 90.0)
            return std::nullopt;
        return GeodeticToEcef(g);
    }
    default:
        return std::nullopt;
    }
}

ScatterStats SummariseOffsets(std::span<const LocalOffset> offsets)
{
    ScatterStats s;
    s.count = offsets.size();
    if (offsets.empty())
        return s;
    const double n = static_cast<double>(offsets.size());
    LocalOffset mean;
    for (const LocalOffset& o : offsets) {
        mean.east += o.east / n;
        mean.north += o.north / n;
        mean.up += o.up / n;
    }
    std::vector<double> radii;
    radii.reserve(offsets.size());
    double varN = 0, varE = 0, varU = 0;
    for (const LocalOffset& o : offsets) {
        varN += Square(o.north - mean.north) / n;
        varE += Square(o.east - mean.east) / n;
        varU += Square(o.up - mean.up) / n;
        radii.push_back(std::hypot(o.north - mean.north, o.east - mean.east));
    }
    s.sigmaNorth = std::sqrt(varN);
    s.sigmaEast = std::sqrt(varE);
    s.sigmaUp = std::sqrt(varU);
    s.drms2 = 2.0 * std::sqrt(varN + varE);
    // CEP50 is the empirical median of the horizontal distances from the mean, not the
    // 0.59 * (sigmaN + sigmaE) rule: that rule assumes a Gaussian scatter and is off by
    // several per cent for elongated ones, while receiver errors are neither Gaussian nor
    // independent from fix to fix. The median is what the circle claims: half the plotted
    // fixes inside it. For an even count it is the mean of the two middle distances.
    const size_t half = radii.size() / 2;
    std::nth_element(radii.begin(), radii.begin() + static_cast<std::ptrdiff_t>(half), radii.end());
    s.cep50 = radii[half];
    if (radii.size() % 2 == 0)
        s.cep50 = (s.cep50 + *std::max_element(radii.begin(), radii.begin() + static_cast<std::ptrdiff_t>(half))) / 2.0;
    return s;
}

FixHistory::FixHistory(size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {}

void FixHistory::Add(const Ecef& fix)
{
    if (fixes_.size() < capacity_) {
        fixes_.push_back(fix);
        return;
    }
    fixes_[next_] = fix;
    next_ = (next_ + 1) % capacity_;
}

void FixHistory::Clear()
{
    fixes_.clear();
    next_ = 0;
}

Geodetic FixHistory::Mean() const
{
    if (fixes_.empty())
        return {};
    Ecef sum;
    for (const Ecef& f : fixes_) {
        sum.x += f.x;
        sum.y += f.y;
        sum.z += f.z;
    }
    const double n = static_cast<double>(fixes_.size());
    return EcefToGeodetic({sum.x / n, sum.y / n, sum.z / n});
}

std::vector<LocalOffset> FixHistory::Offsets() const
{
    const LocalFrame frame(Mean());
    std::vector<LocalOffset> out;
    out.reserve(fixes_.size());
    for (size_t i = 0; i < fixes_.size(); ++i)
        out.push_back(frame.Of(fixes_[(next_ + i) % fixes_.size()]));
    return out;
}

ScatterStats FixHistory::Stats() const
{
    ScatterStats s = SummariseOffsets(Offsets());
    s.mean = Mean();
    return s;
}
