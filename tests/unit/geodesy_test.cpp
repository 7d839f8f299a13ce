// The WGS-84 geodesy and the change of position. Expected values: the
// ellipsoid's published derived constants (polar radius b = 6356752.3142 m,
// polar radius of curvature a^2 / b = 6399593.6258 m) and points computed
// with an independent script from the closed geodetic-to-ECEF formula at
// 40 significant digits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/geodesy.h"
#include "model/position_change.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(Geodesy, KnownPointsBothWays)
{
    struct Case {
        double latDeg, lonDeg, altM;
        Ecef ecef;
    };
    const Case cases[] = {
        {0, 0, 0, {6378137.0, 0, 0}},            // the equator at the prime meridian: a
        {0, 90, 0, {0, 6378137.0, 0}},
        {0, -180, -430, {-6377707.0, 0, 0}},     // the date line, below the ellipsoid
        {90, 0, 0, {0, 0, 6356752.3142}},        // the pole itself: no division by cos(lat)
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
        EXPECT_NEAR(e.x, c.ecef.x, 1e-4);
        EXPECT_NEAR(e.y, c.ecef.y, 1e-4);
        EXPECT_NEAR(e.z, c.ecef.z, 1e-4);
        const Geodetic g = EcefToGeodetic(c.ecef);
        EXPECT_NEAR(g.latRad / kDeg, c.latDeg, 1e-10); // 0.01 mm on the ground
        // Longitude to 0.1 mm along its parallel; on the pole's axis any longitude is right.
        const double parallelM = std::hypot(c.ecef.x, c.ecef.y);
        if (parallelM > 0) {
            EXPECT_NEAR(std::remainder(g.lonRad / kDeg - c.lonDeg, 360.0), 0.0, 1e-4 / (parallelM * kDeg));
        }
        EXPECT_NEAR(g.altM, c.altM, 1e-4);
    }
}

// Geodetic -> ECEF -> geodetic from below the Dead Sea to beyond the GPS orbits, at every
// latitude including the poles: back to within 0.1 mm.
TEST(Geodesy, RoundTripKeepsATenthOfAMillimetre)
{
    for (double altM : {-430.0, 0.0, 8848.0, 400e3, 20200e3, 36000e3})
        for (double latDeg = -90; latDeg <= 90; latDeg += 7.5)
            for (double lonDeg : {-179.99, -60.0, 0.0, 33.3, 180.0}) {
                const Geodetic in{latDeg * kDeg, lonDeg * kDeg, altM};
                const Geodetic out = EcefToGeodetic(GeodeticToEcef(in));
                const double radius = wgs84::kSemiMajorM + altM;
                EXPECT_LT(std::fabs(out.latRad - in.latRad) * radius, 1e-4) << latDeg << " " << altM;
                EXPECT_LT(std::fabs(std::remainder(out.lonRad - in.lonRad, 2 * std::numbers::pi)) * radius *
                              std::cos(in.latRad),
                          1e-4)
                    << latDeg << " " << lonDeg << " " << altM;
                EXPECT_LT(std::fabs(out.altM - in.altM), 1e-4) << latDeg << " " << altM;
            }
}

TEST(Geodesy, RadiiOfCurvature)
{
    struct Case {
        double latDeg, meridianM, primeVerticalM;
    } cases[] = {
        {0, 6335439.3273, 6378137.0}, // a (1 - e^2) and a
        {45, 6367381.8156, 6388838.2901},
        {-45, 6367381.8156, 6388838.2901},
        {90, 6399593.6258, 6399593.6258}, // both a^2 / b at the pole
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(MeridianRadius(c.latDeg * kDeg), c.meridianM, 1e-4) << c.latDeg;
        EXPECT_NEAR(PrimeVerticalRadius(c.latDeg * kDeg), c.primeVerticalM, 1e-4) << c.latDeg;
    }
    EXPECT_NEAR(wgs84::kSemiMinorM, 6356752.3142, 1e-4);
}

TEST(Geodesy, LocalFrameAndLookAngles)
{
    // At the equator one metre north is 1 / M rad of latitude, one metre east 1 / a rad of longitude.
    const Geodetic origin{0, 0, 0};
    const LocalOffset north = OffsetFrom(origin, GeodeticToEcef({5.0 / 6335439.3273, 0, 0}));
    EXPECT_NEAR(north.north, 5.0, 1e-6);
    EXPECT_NEAR(north.east, 0.0, 1e-9);
    const LocalOffset east = OffsetFrom(origin, GeodeticToEcef({0, -3.0 / 6378137.0, 2.0}));
    EXPECT_NEAR(east.east, -3.0, 1e-6);
    EXPECT_NEAR(east.up, 2.0, 1e-6);
    // Straight up from (40N, 105W): 1650 m over the ellipsoid is a point of the table above.
    const Geodetic denver{40 * kDeg, -105 * kDeg, 0};
    const LocalOffset up = OffsetFrom(denver, {-1266653.04939, -4727213.53588, 4079046.17176});
    EXPECT_NEAR(up.up, 1650.0, 1e-4);
    EXPECT_NEAR(up.north, 0.0, 1e-4);
    EXPECT_NEAR(up.east, 0.0, 1e-4);

    // A velocity turned into the frame and back is the same vector: at 40N 105W,
    // 3 m/s east is (-sin lon, cos lon, 0) * 3 in ECEF.
    const LocalFrame frame(denver);
    const Ecef v = frame.ToEcef({3, 0, 0});
    EXPECT_NEAR(v.x, -3 * std::sin(-105 * kDeg), 1e-12);
    EXPECT_NEAR(v.y, 3 * std::cos(-105 * kDeg), 1e-12);
    EXPECT_NEAR(v.z, 0.0, 1e-12);
    const LocalOffset back = frame.ToLocal(frame.ToEcef({1.5, -2.5, 0.25}));
    EXPECT_NEAR(back.east, 1.5, 1e-12);
    EXPECT_NEAR(back.north, -2.5, 1e-12);
    EXPECT_NEAR(back.up, 0.25, 1e-12);

    // From the equator at 0E: a satellite overhead, one on the eastern horizon, one north-west and up 45 degrees.
    const LookAngles zenith = LookAt(origin, {26559700.0, 0, 0});
    EXPECT_NEAR(zenith.elevationRad, std::numbers::pi / 2, 1e-12);
    const LookAngles eastHorizon = LookAt(origin, {6378137.0, 1000, 0});
    EXPECT_NEAR(eastHorizon.azimuthRad, std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(eastHorizon.elevationRad, 0.0, 1e-12);
    const LookAngles northWest = LookAt(origin, {6378137.0 + 1000 * std::sqrt(2.0), -1000, 1000});
    EXPECT_NEAR(northWest.azimuthRad, 1.75 * std::numbers::pi, 1e-12); // 315 degrees: never negative
    EXPECT_NEAR(northWest.elevationRad, std::numbers::pi / 4, 1e-12);
}

TEST(PositionChange, MetresNorthAndEastOfTheReference)
{
    struct Case {
        double lat0Deg, lon0Deg;   // the reference
        double dLatRad, dLonRad;   // the fix's offset from it
        double northM, eastM;
    } cases[] = {
        {0, 0, 1e-4, 1e-4, 633.5439327, 637.8137},         // a radian north is a (1 - e^2), east a
        {45, 0, 1e-4, -2e-4, 636.7381816, -903.5181758},   // M and N cos(lat) at 45 degrees
        {-45, 170, -1e-4, 2e-4, -636.7381816, 903.5181758}, // the same radii in the south
        {0, 179.99, 0, -359.98 * kDeg, 0, -40072790.296},   // not wrapped across the date line
    };
    for (const Case& c : cases) {
        PositionChange change;
        change.SetReference(c.lat0Deg * kDeg, c.lon0Deg * kDeg);
        const NorthEast same = change.From(c.lat0Deg * kDeg, c.lon0Deg * kDeg);
        EXPECT_EQ(same.north, 0.0);
        EXPECT_EQ(same.east, 0.0);
        const NorthEast d = change.From(c.lat0Deg * kDeg + c.dLatRad, c.lon0Deg * kDeg + c.dLonRad);
        EXPECT_NEAR(d.north, c.northM, 1e-6) << c.lat0Deg;
        EXPECT_NEAR(d.east, c.eastM, std::max(1e-6, std::fabs(c.eastM) * 1e-9)) << c.lat0Deg;
    }
}

} // namespace
