#include "model/geodesy.h"

#include <cmath>
#include <numbers>

using wgs84::kEccentricitySquared;
using wgs84::kSemiMajorM;

namespace {

// 1 - e^2 sin^2(lat), the ellipsoid's term in both radii of curvature.
double CurvatureTerm(double sinLat) { return 1.0 - kEccentricitySquared * sinLat * sinLat; }

double PrimeVertical(double sinLat) { return kSemiMajorM / std::sqrt(CurvatureTerm(sinLat)); }

} // namespace

double PrimeVerticalRadius(double latRad) { return PrimeVertical(std::sin(latRad)); }

double MeridianRadius(double latRad)
{
    const double w = CurvatureTerm(std::sin(latRad));
    return kSemiMajorM * (1.0 - kEccentricitySquared) / (w * std::sqrt(w));
}

Ecef GeodeticToEcef(const Geodetic& p)
{
    const double sinLat = std::sin(p.latRad);
    const double cosLat = std::cos(p.latRad);
    const double n = PrimeVertical(sinLat);
    return {(n + p.altM) * cosLat * std::cos(p.lonRad), (n + p.altM) * cosLat * std::sin(p.lonRad),
            (n * (1.0 - kEccentricitySquared) + p.altM) * sinLat};
}

Geodetic EcefToGeodetic(const Ecef& p)
{
    const double r = std::hypot(p.x, p.y);
    // lat = atan2(z + e^2 N sin(lat), r) has a fixed point at the geodetic latitude and
    // stays defined at the poles (r = 0), unlike the forms that divide by cos(lat). The
    // start is exact on the ellipsoid; each step shrinks the error by about e^2.
    double lat = std::atan2(p.z, r * (1.0 - kEccentricitySquared));
    for (int i = 0; i < 20; ++i) {
        const double sinLat = std::sin(lat);
        const double next = std::atan2(p.z + kEccentricitySquared * PrimeVertical(sinLat) * sinLat, r);
        const bool settled = std::fabs(next - lat) < 1e-14;
        lat = next;
        if (settled)
            break;
    }
    // The height along the normal, without the division by cos(lat) that fails at the poles.
    const double sinLat = std::sin(lat);
    const double alt = r * std::cos(lat) + p.z * sinLat - kSemiMajorM * std::sqrt(CurvatureTerm(sinLat));
    return {lat, std::atan2(p.y, p.x), alt};
}

LocalFrame::LocalFrame(const Geodetic& origin)
    : origin_(GeodeticToEcef(origin)), sinLat_(std::sin(origin.latRad)), cosLat_(std::cos(origin.latRad)),
      sinLon_(std::sin(origin.lonRad)), cosLon_(std::cos(origin.lonRad))
{
}

LocalOffset LocalFrame::Of(const Ecef& p) const { return ToLocal({p.x - origin_.x, p.y - origin_.y, p.z - origin_.z}); }

LocalOffset LocalFrame::ToLocal(const Ecef& v) const
{
    return {-sinLon_ * v.x + cosLon_ * v.y, -sinLat_ * cosLon_ * v.x - sinLat_ * sinLon_ * v.y + cosLat_ * v.z,
            cosLat_ * cosLon_ * v.x + cosLat_ * sinLon_ * v.y + sinLat_ * v.z};
}

Ecef LocalFrame::ToEcef(const LocalOffset& v) const
{
    return {-sinLon_ * v.east - sinLat_ * cosLon_ * v.north + cosLat_ * cosLon_ * v.up,
            cosLon_ * v.east - sinLat_ * sinLon_ * v.north + cosLat_ * sinLon_ * v.up,
            cosLat_ * v.north + sinLat_ * v.up};
}

LookAngles LookAt(const Geodetic& observer, const Ecef& target)
{
    const LocalOffset v = LocalFrame(observer).Of(target);
    double az = std::atan2(v.east, v.north);
    if (az < 0)
        az += 2 * std::numbers::pi;
    return {az, std::atan2(v.up, std::hypot(v.east, v.north))};
}
