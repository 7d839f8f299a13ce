// Faults the fuzzing of the simulator's command input found, kept fixed.
#include <gtest/gtest.h>

#include "sim_harness.h"

namespace {

// The one answer of the key among the packets, parsed.
template <class R, bool (*Parse)(const uint8_t*, size_t, R&)>
R OnlyAnswer(const std::vector<SimPacket>& packets, const std::string& key)
{
    const std::vector<SimPacket> found = WithKey(packets, key);
    R r{};
    EXPECT_EQ(found.size(), 1u) << key;
    if (found.size() == 1) {
        EXPECT_TRUE(Parse(found[0].data.data(), found[0].data.size(), r)) << key;
    }
    return r;
}

Command GpsTime(float timeOfWeekS, uint16_t week)
{
    Command c;
    c.kind = CommandKind::GpsTime;
    c.time = {timeOfWeekS, week};
    return c;
}

} // namespace

// A set-time command whose time of week lies outside the week (here 1e30 s)
// used to be taken: the receiver's clock became 1e30 s, where adding a
// second changes nothing, so moving time on never ended, and its time report
// converted a week number beyond 65535 (undefined behaviour). A week has
// 604800 seconds; such a time is refused and the clock kept.
TEST(SimulatorRegression, SetTimeOutsideTheWeekIsRefused)
{
    for (const float tow : {1e30f, 604800.0f, -1.0f}) {
        SimHarness h; // just powered up: it has no time from the sky yet
        // Fatal: with the time taken, running on would never end.
        ASSERT_EQ((OnlyAnswer<Report4E, ParseReport4E>(h.Ask(GpsTime(tow, 100)), "4E").answer), 'N') << tow;
        h.Run(4); // the sky then gives the time: week 2400 of the default start
        EXPECT_EQ((OnlyAnswer<Report41, ParseReport41>(h.Ask({0x21}), "41").week), 2400) << tow;
    }
    SimHarness h;
    EXPECT_EQ((OnlyAnswer<Report4E, ParseReport4E>(h.Ask(GpsTime(604799.5f, 65535)), "4E").answer), 'Y');
    EXPECT_EQ((OnlyAnswer<Report41, ParseReport41>(h.Ask({0x21}), "41").week), 65535);
}
