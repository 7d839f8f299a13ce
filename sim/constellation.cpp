#include "sim/constellation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/rng.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOrbitRadiusM = 26559700.0;
constexpr double kOrbitPeriodS = 43082.0; // half a sidereal day
constexpr double kInclinationRad = 55.0 * kPi / 180.0;
constexpr double kEarthRateRadS = 7.2921151467e-5;
constexpr int kPlanes = 6;

double Wrapped(double angle) { return std::fmod(angle, 2 * kPi); }

} // namespace

Constellation::Constellation(uint64_t seed)
{
    SimRandom random(seed ^ 0xC0057E11A7105ull);
    const double nodeShift = random.Between(0, 2 * kPi);
    for (int i = 0; i < kSatellites; ++i) {
        const int plane = i % kPlanes;
        const int inPlane = i / kPlanes;
        orbits_[i].ascendingNodeRad = nodeShift + plane * (2 * kPi / kPlanes);
        // Slots spread round the plane, staggered between planes, jittered a little.
        orbits_[i].argumentRad = inPlane * (2 * kPi / 6) + plane * 0.52 + random.Between(-0.15, 0.15);
    }
}

Ecef Constellation::Position(int prn, double gpsSeconds) const
{
    const Orbit& o = orbits_[(prn - 1) % kSatellites];
    const double u = Wrapped(o.argumentRad + Wrapped(gpsSeconds * (2 * kPi / kOrbitPeriodS)));
    const double node = Wrapped(o.ascendingNodeRad - Wrapped(gpsSeconds * kEarthRateRadS));
    const double xo = kOrbitRadiusM * std::cos(u);
    const double yo = kOrbitRadiusM * std::sin(u);
    const double ci = std::cos(kInclinationRad);
    return {xo * std::cos(node) - yo * ci * std::sin(node), xo * std::sin(node) + yo * ci * std::cos(node),
            yo * std::sin(kInclinationRad)};
}

std::vector<SkySatellite> Constellation::Visible(const Geodetic& observer, double gpsSeconds,
                                                 double minElevationRad) const
{
    std::vector<SkySatellite> sky;
    for (int prn = 1; prn <= kSatellites; ++prn) {
        const LookAngles look = LookAt(observer, Position(prn, gpsSeconds));
        if (look.elevationRad >= minElevationRad)
            sky.push_back({prn, look});
    }
    std::sort(sky.begin(), sky.end(), [](const SkySatellite& a, const SkySatellite& b) {
        return a.look.elevationRad > b.look.elevationRad;
    });
    return sky;
}
