// The position scatter's geometry and statistics. ECEF coordinates of the
// geodetic points were computed with an independent script from the closed
// WGS-84 formula; the statistics of the point sets were worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/fix_scatter.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kA = 6378137.0;          // WGS-84 equatorial radius
constexpr double kB = 6356752.314245;     // WGS-84 polar radius

TEST(EcefToGeodetic, KnownPoints)
{
    struct Case {
        Ecef ecef;
        double latDeg, lonDeg, altM;
    };
    const Case cases[] = {
        {{4200996.7698, 172460.3207, 4780102.8083}, 48.8562, 2.3508, 67.37},
        {{-4646093.4773, 2553229.5358, -3534404.7109}, -33.8688, 151.2093, 58.0},
        {{-1266653.0494, -4727213.5359, 4079046.1718}, 40.0, -105.0, 1650.0},
        {{-1116.8990, -9.7470, 6356762.2168}, 89.99, -179.5, 10.0},
        {{kA, 0, 0}, 0, 0, 0},
        {{0, 0, kB}, 90, 0, 0}, // the pole itself: no division by cos(lat)
        {{0, 0, -kB - 100}, -90, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latDeg);
        const Geodetic g = EcefToGeodetic(c.ecef);
        EXPECT_NEAR(g.latRad / kDeg, c.latDeg, 1e-9);  // 0.1 mm on the ground
        // Longitude to 0.1 mm along its parallel (near the pole the input's rounding dominates).
        const double parallelM = std::hypot(c.ecef.x, c.ecef.y);
        EXPECT_NEAR(g.lonRad / kDeg, c.lonDeg, std::max(1e-9, 1e-4 / (parallelM * kDeg)));
        EXPECT_NEAR(g.altM, c.altM, 1e-3);             // the inputs have 0.1 mm steps
        const Ecef back = GeodeticToEcef(g);
        EXPECT_NEAR(back.x, c.ecef.x, 1e-6);
        EXPECT_NEAR(back.z, c.ecef.z, 1e-6);
    }
}

TEST(OffsetFrom, NorthEastUpAtTheEquatorAndAtLatitude)
{
    // At the equator one metre north is 1 / M rad of latitude, M = a (1 - e^2) = 6335439.327 m,
    // and one metre east is 1 / a rad of longitude.
    const Geodetic origin{0, 0, 0};
    const LocalOffset north = OffsetFrom(origin, GeodeticToEcef({5.0 / 6335439.327, 0, 0}));
    EXPECT_NEAR(north.north, 5.0, 1e-6);
    EXPECT_NEAR(north.east, 0.0, 1e-9);
    const LocalOffset east = OffsetFrom(origin, GeodeticToEcef({0, -3.0 / kA, 2.0}));
    EXPECT_NEAR(east.east, -3.0, 1e-6);
    EXPECT_NEAR(east.up, 2.0, 1e-6);
    // Straight up from (40N, 105W): only "up" changes; 1650 m over the ellipsoid there
    // is the third case above.
    const Geodetic denver{40 * kDeg, -105 * kDeg, 0};
    const LocalOffset up = OffsetFrom(denver, {-1266653.0494, -4727213.5359, 4079046.1718});
    EXPECT_NEAR(up.up, 1650.0, 1e-3);
    EXPECT_NEAR(up.north, 0.0, 1e-3);
    EXPECT_NEAR(up.east, 0.0, 1e-3);
}

TEST(SummariseOffsets, HandWorkedPointSets)
{
    // Around (east 10, north 20, up 0): deviations (3,1,1) (-3,-1,-1) (0,6,3) (0,-6,-3).
    // sigmaE = sqrt(18/4), sigmaN = sqrt(74/4), sigmaU = sqrt(20/4);
    // radii sqrt(10), sqrt(10), 6, 6: median (3.16228 + 6) / 2; 2DRMS = 2 sqrt(23).
    std::vector<LocalOffset> points = {{13, 21, 1}, {7, 19, -1}, {10, 26, 3}, {10, 14, -3}};
    ScatterStats s = SummariseOffsets(points);
    EXPECT_EQ(s.count, 4u);
    EXPECT_NEAR(s.sigmaEast, 2.12132, 1e-5);
    EXPECT_NEAR(s.sigmaNorth, 4.30116, 1e-5);
    EXPECT_NEAR(s.sigmaUp, 2.23607, 1e-5);
    EXPECT_NEAR(s.cep50, 4.58114, 1e-5);
    EXPECT_NEAR(s.drms2, 9.59166, 1e-5);

    // A fifth point on the mean: radii 0, 3.16, 3.16, 6, 6, median sqrt(10);
    // sigmaE = sqrt(18/5), sigmaN = sqrt(74/5).
    points.push_back({10, 20, 0});
    s = SummariseOffsets(points);
    EXPECT_EQ(s.count, 5u);
    EXPECT_NEAR(s.cep50, 3.16228, 1e-5);
    EXPECT_NEAR(s.sigmaEast, 1.89737, 1e-5);
    EXPECT_NEAR(s.sigmaNorth, 3.84708, 1e-5);
    EXPECT_NEAR(s.drms2, 2 * std::sqrt(92.0 / 5), 1e-9);

    EXPECT_EQ(SummariseOffsets({}).count, 0u);
    EXPECT_EQ(SummariseOffsets({}).cep50, 0.0);
}

TEST(FixHistory, KeepsTheLastFixesOldestFirstAndClears)
{
    // Fixes k metres east of (0, 0) for k = 1..5; with room for 3, fixes 3, 4, 5 stay
    // and lie -1, 0, +1 m from their mean.
    FixHistory history(3);
    for (int k = 1; k <= 5; ++k)
        history.Add(GeodeticToEcef({0, k / kA, 0}));
    ASSERT_EQ(history.Count(), 3u);
    const std::vector<LocalOffset> offsets = history.Offsets();
    ASSERT_EQ(offsets.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(offsets[i].east, static_cast<double>(i) - 1.0, 1e-6);
    const ScatterStats s = history.Stats();
    EXPECT_NEAR(s.mean.lonRad * kA, 4.0, 1e-6);
    EXPECT_NEAR(s.mean.latRad, 0.0, 1e-12);
    EXPECT_NEAR(s.sigmaEast, std::sqrt(2.0 / 3), 1e-6);
    EXPECT_NEAR(s.cep50, 1.0, 1e-6);

    history.Clear();
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_EQ(history.Stats().count, 0u);
    EXPECT_EQ(FixHistory().Capacity(), 3600u);
}

TEST(FixHistory, MeanAcrossTheDateLineStaysOnIt)
{
    // Averaging longitudes would put the mean of 179.9999E and 179.9999W near 0E.
    FixHistory history;
    history.Add(GeodeticToEcef({0, 179.9999 * kDeg, 0}));
    history.Add(GeodeticToEcef({0, -179.9999 * kDeg, 0}));
    EXPECT_NEAR(std::fabs(history.Mean().lonRad) / kDeg, 180.0, 1e-9);
    // 0.0002 degrees of longitude at the equator: 22.26 m apart, 11.13 m from the mean.
    EXPECT_NEAR(history.Stats().cep50, 0.0001 * kDeg * kA, 1e-4);
}

} // namespace
