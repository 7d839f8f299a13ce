// The almanac and ephemeris exchanges as the transfer runs them: request by
// type and satellite, "not available" answers, and loads acknowledged.
#include <gtest/gtest.h>

#include "sim_harness.h"

namespace {

struct Reply {
    bool answered = false;
    Report58 report;
};

Reply Request(SimHarness& h, uint8_t type, uint8_t sv)
{
    const auto replies = WithKey(h.Ask({0x38, 0x01, type, sv}), "58");
    Reply r;
    r.answered = replies.size() == 1 &&
                 ParseReport58(replies[0].data.data(), replies[0].data.size(), r.report);
    return r;
}

TEST(SimulatorSystemData, FullAlmanacRequestSequenceIsAnswered)
{
    SimHarness h;
    // The order a download asks in: health page, SV 1..32, ionosphere, UTC.
    std::vector<std::pair<uint8_t, uint8_t>> steps = {{3, 0}};
    for (uint8_t sv = 1; sv <= 32; ++sv)
        steps.push_back({2, sv});
    steps.push_back({4, 0});
    steps.push_back({5, 0});
    ASSERT_EQ(steps.size(), 35u);
    for (const auto& [type, sv] : steps) {
        SCOPED_TRACE(testing::Message() << "type " << int(type) << " sv " << int(sv));
        const Reply r = Request(h, type, sv);
        ASSERT_TRUE(r.answered);
        EXPECT_EQ(r.report.operation, 2);
        EXPECT_EQ(r.report.dataType, type);
        EXPECT_EQ(r.report.sv, sv);
        EXPECT_GT(r.report.dataLength, 0);
    }
}

TEST(SimulatorSystemData, SatelliteWithoutAlmanacOrEphemerisSaysNotAvailable)
{
    SimOptions o;
    o.withoutAlmanac = {1};
    o.withoutEphemeris = {3};
    SimHarness h(o);
    const Reply alm = Request(h, 2, 1);
    ASSERT_TRUE(alm.answered);
    EXPECT_NE(alm.report.operation, 2); // the transfer shows "Data not available!"
    EXPECT_EQ(alm.report.dataType, 2);
    EXPECT_EQ(alm.report.sv, 1);
    EXPECT_EQ(Request(h, 2, 2).report.operation, 2);

    // Ephemeris comes only with a fix.
    EXPECT_NE(Request(h, 6, 2).report.operation, 2);
    h.Run(20);
    EXPECT_EQ(Request(h, 6, 2).report.operation, 2);
    EXPECT_EQ(Request(h, 6, 2).report.dataLength, 165);
    EXPECT_NE(Request(h, 6, 3).report.operation, 2);
    // No satellite 0 or 33.
    EXPECT_NE(Request(h, 2, 0).report.operation, 2);
    EXPECT_NE(Request(h, 6, 33).report.operation, 2);
}

TEST(SimulatorSystemData, LoadedBlockIsAcknowledgedAndServedBack)
{
    SimOptions o;
    o.withoutAlmanac = {5};
    SimHarness h(o);
    std::vector<uint8_t> load = {0x38, 0x02, 2, 5, 39};
    for (int i = 0; i < 39; ++i)
        load.push_back(static_cast<uint8_t>(i == 7 ? 0x10 : i)); // one stuffed byte on the line
    const auto ack = WithKey(h.Ask(load), "58");
    ASSERT_EQ(ack.size(), 1u);
    Report58 a;
    ASSERT_TRUE(ParseReport58(ack[0].data.data(), ack[0].data.size(), a));
    EXPECT_EQ(a.operation, 1);
    EXPECT_EQ(a.dataType, 2);
    EXPECT_EQ(a.sv, 5);

    const Reply back = Request(h, 2, 5);
    ASSERT_EQ(back.report.operation, 2);
    ASSERT_EQ(back.report.dataLength, 39);
    EXPECT_TRUE(std::equal(load.begin() + 5, load.end(), back.report.data.begin()));

    // A block of the wrong size, or of an unknown type, is rejected.
    EXPECT_EQ(WithKey(h.Ask({0x38, 0x02, 2, 5, 0}), "58").at(0).data.at(0), 0);
    EXPECT_EQ(WithKey(h.Ask({0x38, 0x02, 9, 0, 0}), "58").at(0).data.at(0), 0);
}

TEST(SimulatorSystemData, DownloadedBlocksLoadIntoAnotherReceiver)
{
    SimHarness source;
    source.Run(20);
    SimOptions other;
    other.seed = 77;
    other.withoutEphemeris = {4};
    SimHarness target(other);
    const Reply eph = Request(source, 6, 4);
    ASSERT_EQ(eph.report.operation, 2);
    std::vector<uint8_t> load = {0x38, 0x02, 6, 4, eph.report.dataLength};
    load.insert(load.end(), eph.report.data.begin(), eph.report.data.begin() + eph.report.dataLength);
    EXPECT_EQ(WithKey(target.Ask(load), "58").at(0).data.at(0), 1);
    const Reply copied = Request(target, 6, 4);
    ASSERT_EQ(copied.report.operation, 2);
    EXPECT_EQ(copied.report.data, eph.report.data);
}

} // namespace
