// The WGS-84 geodesy and the change of position. Expected values: the
// ellipsoid's published polar radius b = 6356752.3142 m and polar radius of
// curvature a^2 / b = 6399593.6258 m, and points and radii computed by an
// independent script from the closed formulas at 40 significant digits.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/geodesy.h"
#include "model/position_change.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

// Converged to 0.1 mm; the poles need no division by cos(latitude).
TEST(Geodesy, KnownPointsBothWays)
{
    struct Case {
        double latDeg, lonDeg, altM;
        Ecef ecef;
    } cases[] = {
        {0, 0, 0, {6378137.0, 0, 0}}, // the equator at the prime meridian: a
        {0, 90, 0, {0, 6378137.0, 0}},
        {0, -180, -430, {-6377707.0, 0, 0}},
        {90, 0, 0, {0, 0, 6356752.3142}},
        {-90, 0, 100, {0, 0, -6356852.3142}},
        {48.8562, 2.3508, 67.37, {4200996.76983, 172460.32073, 4780102.80828}},
        {-33.8688, 151.2093, 58.0, {-4646093.47729, 2553229.53582, -3534404.71091}},
        {40, -105, 1650, {-1266653.04939, -4727213.53588, 4079046.17176}},
        {89.99, -179.5, 10, {-1116.89901, -9.74703, 6356762.21677}},
        {27.988, 86.925, 8848.86, {302770.21364, 5636031.42583, 2979483.69145}},
        {-45, 45, 20200000, {13294419.14506, 13294419.14506, -18770905.38883}}, // a GPS orbit's height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.latDeg << ", " << c.lonDeg << ", " << c.altM);
        const Ecef e = GeodeticToEcef({c.latDeg * kDeg, c.lonDeg * kDeg, c.altM});
        EXPECT_NEAR(std::hypot(e.x - c.ecef.x, e.y - c.ecef.y, e.z - c.ecef.z), 0.0, 1e-4);
        const Geodetic g = EcefToGeodetic(c.ecef);
        EXPECT_NEAR(g.latRad / kDeg, c.latDeg, 1e-10); // 0.01 mm on the ground
        // Longitude to 0.1 mm along its parallel; on the polar axis any longitude is right.
        const double parallelM = std::hypot(c.ecef.x, c.ecef.y);
        EXPECT_NEAR(std::remainder(g.lonRad / kDeg - c.lonDeg, 360.0) * kDeg * parallelM, 0.0, 1e-4);
        EXPECT_NEAR(g.altM, c.altM, 1e-4);
    }
}

// From below the Dead Sea to beyond the GPS orbits, at every latitude: back within 0.1 mm.
TEST(Geodesy, RoundTripKeepsATenthOfAMillimetre)
{
    for (double altM : {-430.0, 0.0, 8848.0, 400e3, 20200e3, 36000e3})
        for (double latDeg = -90; latDeg <= 90; latDeg += 7.5)
            for (double lonDeg : {-179.99, -60.0, 0.0, 33.3, 180.0}) {
                const Geodetic in{latDeg * kDeg, lonDeg * kDeg, altM};
                const Geodetic out = EcefToGeodetic(GeodeticToEcef(in));
                const double r = wgs84::kSemiMajorM + altM;
                const double dLon = std::remainder(out.lonRad - in.lonRad, 2 * kPi);
                const double errorM = std::hypot((out.latRad - in.latRad) * r, dLon * r * std::cos(in.latRad),
                                                 out.altM - altM);
                EXPECT_LT(errorM, 1e-4) << latDeg << ", " << lonDeg << ", " << altM;
            }
}

// The radii, and the change of position they scale: 1e-4 rad north and -2e-4 rad east of the
// reference. The longitude difference is not wrapped across the date line.
TEST(Geodesy, RadiiOfCurvatureAndTheChangeOfPosition)
{
    struct Case {
        double latDeg, lonDeg, meridianM, primeVerticalM, northM, eastM;
    } cases[] = {
        {0, 0, 6335439.3273, 6378137.0, 633.54393, -1275.6274}, // a (1 - e^2) and a
        {45, -179.99, 6367381.8156, 6388838.2901, 636.73818, -903.51818},
        {-45, 10, 6367381.8156, 6388838.2901, 636.73818, -903.51818},
        {90, 0, 6399593.6258, 6399593.6258, 639.95936, 0.0}, // both a^2 / b at the pole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latDeg);
        EXPECT_NEAR(MeridianRadius(c.latDeg * kDeg), c.meridianM, 1e-4);
        EXPECT_NEAR(PrimeVerticalRadius(c.latDeg * kDeg), c.primeVerticalM, 1e-4);
        PositionChange change;
        change.SetReference(c.latDeg * kDeg, c.lonDeg * kDeg);
        const NorthEast d = change.From(c.latDeg * kDeg + 1e-4, c.lonDeg * kDeg - 2e-4);
        EXPECT_NEAR(d.north, c.northM, 1e-5);
        EXPECT_NEAR(d.east, c.eastM, 1e-5);
    }
    PositionChange change;
    change.SetReference(0, 179.99 * kDeg);
    EXPECT_NEAR(change.From(0, -179.99 * kDeg).east, -40072790.296, 1e-3);
    EXPECT_NEAR(wgs84::kSemiMinorM, 6356752.3142, 1e-4);
}

TEST(Geodesy, LocalFrameAndLookAngles)
{
    // Straight up from (40N, 105W): 1650 m over the ellipsoid is a point of the table above.
    const LocalFrame denver({40 * kDeg, -105 * kDeg, 0});
    const LocalOffset up = denver.Of({-1266653.04939, -4727213.53588, 4079046.17176});
    EXPECT_NEAR(std::hypot(up.east, up.north, up.up - 1650.0), 0.0, 1e-4);
    // 3 m/s east, 2 m/s north and 1 m/s up there, in ECEF axes, and back.
    const Ecef v = denver.ToEcef({3, 2, 1});
    EXPECT_NEAR(std::hypot(v.x - 3.03224194, v.y + 0.27462894, v.z - 2.17487650), 0.0, 1e-8);
    const LocalOffset back = denver.ToLocal(v);
    EXPECT_NEAR(std::hypot(back.east - 3, back.north - 2, back.up - 1), 0.0, 1e-12);

    // From the equator at 0E: overhead, and north-west 45 degrees up.
    const Geodetic origin{0, 0, 0};
    EXPECT_NEAR(LookAt(origin, {26559700.0, 0, 0}).elevationRad, kPi / 2, 1e-12);
    const LookAngles northWest = LookAt(origin, {6378137.0 + 1000 * std::sqrt(2.0), -1000, 1000});
    EXPECT_NEAR(northWest.azimuthRad, 1.75 * kPi, 1e-12); // 315 degrees, never negative
    EXPECT_NEAR(northWest.elevationRad, kPi / 4, 1e-12);
}

} // namespace
