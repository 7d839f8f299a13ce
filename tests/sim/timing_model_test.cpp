// The simulator's timing receiver: time and status once a second, the
// multi-GNSS channels and fix list, a self-survey that completes, and clock
// figures that move.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "link/gnss_reports.h"
#include "sim_harness.h"

namespace {

TEST(TimingModel, ReportsOnceASecondSurveysAndWanders)
{
    SimOptions options = DemoReceiverOptions(2); // the demo's COM3
    ASSERT_TRUE(options.timingModel);
    SimHarness h(options);
    const int seconds = static_cast<int>(options.surveySeconds) + 60;
    std::vector<SimPacket> packets;
    for (int second = 0; second < seconds; ++second) {
        const std::vector<SimPacket> more = h.Run(1);
        packets.insert(packets.end(), more.begin(), more.end());
    }

    std::vector<Report8FAB> times;
    std::vector<Report8FAC> status;
    int channels = 0, fixLists = 0, classic = 0;
    for (const SimPacket& p : packets) {
        Report8FAB t;
        Report8FAC s;
        Report5D c;
        Report6C f;
        if (ParseReport8FAB(p.data.data(), p.data.size(), t))
            times.push_back(t);
        else if (ParseReport8FAC(p.data.data(), p.data.size(), s))
            status.push_back(s);
        else if (p.id == 0x5D && ParseReport5D(p.data.data(), p.data.size(), c))
            ++channels;
        else if (p.id == 0x6C && ParseReport6C(p.data.data(), p.data.size(), f))
            ++fixLists;
        else if (p.id == 0x41 || p.id == 0x4A || p.id == 0x84)
            ++classic;
    }
    EXPECT_NEAR(static_cast<int>(times.size()), seconds, 1);
    EXPECT_EQ(status.size(), times.size());
    EXPECT_GT(channels, seconds); // several satellites a second
    EXPECT_NEAR(fixLists, seconds, 1);
    EXPECT_EQ(classic, 0);

    // One second apart, in the simulator's week.
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_EQ(times[i].timeOfWeekS, times[i - 1].timeOfWeekS + 1);
    EXPECT_EQ(times.back().week, static_cast<int>(h.sim.GpsSeconds() / 604800));

    // The survey runs, then completes: over-determined clock, no survey alarm.
    EXPECT_LT(status.front().surveyProgress, 100);
    EXPECT_NE(status.front().minorAlarms & 0x20, 0);
    EXPECT_EQ(status.back().surveyProgress, 100);
    EXPECT_EQ(status.back().receiverMode, 7);
    EXPECT_EQ(status.back().minorAlarms & 0x20, 0);
    EXPECT_NE(status.back().latRad, 0.0);

    const auto [ppsLow, ppsHigh] = std::minmax_element(status.begin(), status.end(), [](auto& a, auto& b) {
        return a.ppsOffsetNs < b.ppsOffsetNs;
    });
    EXPECT_GT(ppsHigh->ppsOffsetNs - ppsLow->ppsOffsetNs, 1.0f);
    EXPECT_NE(status.front().clockOffsetPpb, status.back().clockOffsetPpb);
    EXPECT_GT(status.back().temperatureC - status.front().temperatureC, 0.1f);
}

} // namespace
