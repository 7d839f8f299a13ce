// The simulated sky and track: reports every second, satellites that move
// smoothly, levels that follow elevation, and a run that repeats exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numbers>

#include "sim/dop.h"
#include "sim_harness.h"

namespace {

constexpr double kPi = std::numbers::pi;

TEST(SimulatorSky, EverySecondBringsTimePositionVelocityAndHealth)
{
    SimHarness h;
    h.Run(20);
    for (int s = 0; s < 5; ++s) {
        const auto second = h.Run(1);
        EXPECT_EQ(WithKey(second, "41").size(), 1u);
        EXPECT_EQ(WithKey(second, "4A").size(), 1u);
        EXPECT_EQ(WithKey(second, "56").size(), 1u);
        EXPECT_EQ(WithKey(second, "46").size(), 1u);
    }
    // Half seconds send nothing until the next whole second.
    h.Run(0.4);
    EXPECT_TRUE(h.Run(0.4).empty());
}

TEST(SimulatorSky, SatellitesMoveSmoothlyAndLevelFollowsElevation)
{
    SimHarness h;
    h.Run(20);
    std::map<int, Report5C> before;
    for (const SimPacket& p : h.Ask({0x3C, 0x00})) {
        Report5C r;
        ASSERT_TRUE(ParseReport5C(p.data.data(), p.data.size(), r));
        before[r.prn] = r;
    }
    h.Run(10);
    int compared = 0;
    for (const SimPacket& p : h.Ask({0x3C, 0x00})) {
        Report5C r;
        ASSERT_TRUE(ParseReport5C(p.data.data(), p.data.size(), r));
        const auto it = before.find(r.prn);
        if (it == before.end())
            continue;
        ++compared;
        // A GPS satellite crosses the sky in hours: under a degree in 10 s.
        EXPECT_LT(std::fabs(r.elevationRad - it->second.elevationRad), 0.0175f);
        EXPECT_NE(r.elevationRad, it->second.elevationRad);
        // 3 + 15 sin(el) AMU, within the noise.
        EXPECT_NEAR(r.signalLevelAmu, 3.0 + 15.0 * std::sin(r.elevationRad), 0.5);
    }
    EXPECT_GE(compared, 6);
}

TEST(SimulatorSky, MovingReceiverReportsItsSpeed)
{
    const SimOptions moving = DemoReceiverOptions(1); // 12 m/s round a circle
    SimHarness h(moving);
    h.Run(20);
    const auto v = WithKey(h.Run(1), "56");
    ASSERT_EQ(v.size(), 1u);
    Report56 r;
    ASSERT_TRUE(ParseReport56(v[0].data.data(), v[0].data.size(), r));
    EXPECT_NEAR(std::hypot(r.eastMps, r.northMps), moving.track.speedMps, 0.1);
}

TEST(SimulatorSky, SameSeedSameBytesOtherSeedOtherSky)
{
    auto run = [](uint64_t seed) {
        SimOptions o;
        o.seed = seed;
        ReceiverSimulator sim(o);
        const std::vector<uint8_t> query = Framed({0x3C, 0x00});
        std::vector<uint8_t> all;
        for (int i = 0; i < 30; ++i) {
            sim.Advance(0.5);
            sim.Receive(query.data(), query.size());
            const auto out = sim.TakeOutput();
            all.insert(all.end(), out.begin(), out.end());
        }
        return all;
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
}

TEST(DilutionOfPrecision, FourSatellitesInAKnownGeometry)
{
    // One at the zenith and three at the horizon 120 degrees apart:
    // by hand, G^T G has 1.5 and 1.5 for east and north, and the block
    // [[1, -1], [-1, 4]] for up and clock, whose inverse is [[4/3, 1/3], [1/3, 1/3]]:
    // HDOP = sqrt(2/1.5), VDOP = sqrt(4/3), TDOP = sqrt(1/3), PDOP = sqrt(8/3).
    std::vector<LookAngles> looks = {{0, kPi / 2}, {0, 0}, {2 * kPi / 3, 0}, {4 * kPi / 3, 0}};
    Dops d;
    ASSERT_TRUE(ComputeDops(looks, &d));
    EXPECT_NEAR(d.hdop, std::sqrt(4.0 / 3.0), 1e-9);
    EXPECT_NEAR(d.vdop, std::sqrt(4.0 / 3.0), 1e-9);
    EXPECT_NEAR(d.tdop, std::sqrt(1.0 / 3.0), 1e-9);
    EXPECT_NEAR(d.pdop, std::sqrt(8.0 / 3.0), 1e-9);
    EXPECT_FALSE(ComputeDops({looks[0], looks[1], looks[2]}, &d));
}

} // namespace

namespace {

TEST(SimulatorSky, LongOrSenselessTimeStepsDoNotFloodOrHang)
{
    SimHarness h;
    h.Run(20);
    // A host suspended for a day: only the last few seconds are reported.
    const auto after = h.Run(86400.0);
    EXPECT_LE(WithKey(after, "41").size(), 5u);
    EXPECT_GE(WithKey(after, "41").size(), 1u);
    EXPECT_TRUE(h.Run(std::numeric_limits<double>::infinity()).empty());
    EXPECT_TRUE(h.Run(std::nan("")).empty());
    EXPECT_TRUE(h.Run(-3).empty());
}

} // namespace
