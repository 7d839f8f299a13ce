// The position scatter's statistics and fix history; the statistics of the
// point sets were worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/fix_scatter.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kA = 6378137.0;          // WGS-84 equatorial radius

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
