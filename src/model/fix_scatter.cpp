#include "model/fix_scatter.h"

#include <algorithm>
#include <cmath>

#include "model/port_reports.h"

namespace {

constexpr double kA = 6378137.0;               // WGS-84 semi-major axis, m
constexpr double kF = 1.0 / 298.257223563;     // WGS-84 flattening
constexpr double kE2 = kF * (2.0 - kF);        // first eccentricity squared

double PrimeVerticalRadius(double sinLat) { return kA / std::sqrt(1.0 - kE2 * sinLat * sinLat); }

double Square(double v) { return v * v; }

} // namespace

Ecef GeodeticToEcef(const Geodetic& p)
{
    const double sinLat = std::sin(p.latRad);
    const double cosLat = std::cos(p.latRad);
    const double n = PrimeVerticalRadius(sinLat);
    return {(n + p.altM) * cosLat * std::cos(p.lonRad), (n + p.altM) * cosLat * std::sin(p.lonRad),
            (n * (1.0 - kE2) + p.altM) * sinLat};
}

Geodetic EcefToGeodetic(const Ecef& p)
{
    const double r = std::hypot(p.x, p.y);
    // lat = atan2(z + e^2 N sin(lat), r) has a fixed point at the geodetic latitude and
    // stays defined at the poles (r = 0), unlike the forms that divide by cos(lat).
    double lat = std::atan2(p.z, r * (1.0 - kE2));
    for (int i = 0; i < 10; ++i) {
        const double next = std::atan2(p.z + kE2 * PrimeVerticalRadius(std::sin(lat)) * std::sin(lat), r);
        const bool settled = std::fabs(next - lat) < 1e-14;
        lat = next;
        if (settled)
            break;
    }
    const double sinLat = std::sin(lat);
    const double alt = r * std::cos(lat) + p.z * sinLat - kA * std::sqrt(1.0 - kE2 * sinLat * sinLat);
    return {lat, std::atan2(p.y, p.x), alt};
}

LocalFrame::LocalFrame(const Geodetic& origin)
    : origin_(GeodeticToEcef(origin)), sinLat_(std::sin(origin.latRad)), cosLat_(std::cos(origin.latRad)),
      sinLon_(std::sin(origin.lonRad)), cosLon_(std::cos(origin.lonRad))
{
}

LocalOffset LocalFrame::Of(const Ecef& p) const
{
    const double dx = p.x - origin_.x, dy = p.y - origin_.y, dz = p.z - origin_.z;
    return {-sinLon_ * dx + cosLon_ * dy,
            -sinLat_ * cosLon_ * dx - sinLat_ * sinLon_ * dy + cosLat_ * dz,
            cosLat_ * cosLon_ * dx + cosLat_ * sinLon_ * dy + sinLat_ * dz};
}

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
