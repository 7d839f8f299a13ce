#include "sim/geodesy.h"

#include <cmath>

namespace {

constexpr double kSemiMajor = 6378137.0;
constexpr double kEccSquared = 6.69437999014e-3;

} // namespace

Ecef LlaToEcef(const Lla& p)
{
    const double sinLat = std::sin(p.latRad);
    const double cosLat = std::cos(p.latRad);
    const double n = kSemiMajor / std::sqrt(1.0 - kEccSquared * sinLat * sinLat);
    return {(n + p.altM) * cosLat * std::cos(p.lonRad), (n + p.altM) * cosLat * std::sin(p.lonRad),
            (n * (1.0 - kEccSquared) + p.altM) * sinLat};
}

Ecef EnuToEcef(const Lla& at, const Enu& v)
{
    const double sl = std::sin(at.latRad), cl = std::cos(at.latRad);
    const double so = std::sin(at.lonRad), co = std::cos(at.lonRad);
    return {-so * v.east - sl * co * v.north + cl * co * v.up,
            co * v.east - sl * so * v.north + cl * so * v.up,
            cl * v.north + sl * v.up};
}

Enu EcefToEnu(const Lla& at, const Ecef& d)
{
    const double sl = std::sin(at.latRad), cl = std::cos(at.latRad);
    const double so = std::sin(at.lonRad), co = std::cos(at.lonRad);
    return {-so * d.x + co * d.y, -sl * co * d.x - sl * so * d.y + cl * d.z,
            cl * co * d.x + cl * so * d.y + sl * d.z};
}

Lla OffsetLla(const Lla& at, double eastM, double northM)
{
    const double r = kSemiMajor + at.altM;
    const double cosLat = std::max(std::cos(at.latRad), 1e-6);
    return {at.latRad + northM / r, at.lonRad + eastM / (r * cosLat), at.altM};
}

LookAngles LookAt(const Lla& observer, const Ecef& target)
{
    const Ecef here = LlaToEcef(observer);
    const Enu v = EcefToEnu(observer, {target.x - here.x, target.y - here.y, target.z - here.z});
    const double horizontal = std::hypot(v.east, v.north);
    double az = std::atan2(v.east, v.north);
    if (az < 0)
        az += 2 * kPi;
    return {az, std::atan2(v.up, horizontal)};
}
