// Every query of the command table gets its report, of exactly the length
// the report has on the line (lengths from the protocol tables) and
// accepted by the packet codec's parser.
#include <gtest/gtest.h>

#include "sim_harness.h"

namespace {

using Parse = bool (*)(const uint8_t*, size_t);

template <typename R, bool (*F)(const uint8_t*, size_t, R&)>
bool Parses(const uint8_t* d, size_t n)
{
    R r;
    return F(d, n, r);
}

struct QueryCase {
    const char* legend;
    std::vector<uint8_t> query;
    const char* replyKey;
    size_t replyLength; // 0: at least 17 (0x6D)
    Parse parse;
};

std::vector<QueryCase> Cases()
{
    return {
        {"version", {0x1F}, "45", 10, Parses<Report45, ParseReport45>},
        {"time", {0x21}, "41", 10, Parses<Report41, ParseReport41>},
        {"sat selection", {0x24}, "6D", 0, Parses<Report6D, ParseReport6D>},
        {"health", {0x26}, "46", 2, Parses<Report46, ParseReport46>},
        {"health status", {0x26}, "4B", 3, Parses<Report4B, ParseReport4B>},
        {"io options", {0x35}, "55", 4, Parses<Report55, ParseReport55>},
        {"tracking", {0x3C, 0x00}, "5C", 24, Parses<Report5C, ParseReport5C>},
        {"dgps mode", {0x62, 0x04}, "82", 1, Parses<Report82, ParseReport82>},
        {"filters", {0x70}, "70", 4, Parses<Report70, ParseReport70>},
        {"datum", {0x8E, 0x15}, "8F-15", 43, Parses<Report8F15, ParseReport8F15>},
        {"gps config", {0xBB, 0x03}, "BB", 40, Parses<ReportBB, ParseReportBB>},
        {"serial port 0", {0xBC, 0x00}, "BC", 10, Parses<ReportBC, ParseReportBC>},
        {"serial port 1", {0xBC, 0x01}, "BC", 10, Parses<ReportBC, ParseReportBC>},
        {"almanac health page", {0x38, 0x01, 3, 0}, "58", 4 + 39, Parses<Report58, ParseReport58>},
        {"save to flash", {0x8E, 0x26}, "8F-26", 5, Parses<Report8F26, ParseReport8F26>},
        {"set time", {0x2E, 0x49, 0x09, 0x1C, 0x00, 0x04, 0x92}, "4E", 1, Parses<Report4E, ParseReport4E>},
    };
}

TEST(SimulatorQueries, EachQueryIsAnsweredWithItsReportOfExactLength)
{
    for (const QueryCase& c : Cases()) {
        SCOPED_TRACE(c.legend);
        SimHarness h;
        h.Run(20); // past the first fix, so every channel is tracking
        const std::vector<SimPacket> replies = WithKey(h.Ask(c.query), c.replyKey);
        ASSERT_FALSE(replies.empty());
        for (const SimPacket& p : replies) {
            if (c.replyLength == 0)
                EXPECT_GE(p.data.size(), 17u);
            else
                EXPECT_EQ(p.data.size(), c.replyLength);
            EXPECT_TRUE(c.parse(p.data.data(), p.data.size()));
        }
    }
}

TEST(SimulatorQueries, TrackingAnswersOnePacketPerTrackedChannel)
{
    SimHarness h;
    h.Run(20);
    const auto replies = h.Ask({0x3C, 0x00});
    ASSERT_EQ(replies.size(), 8u); // a plausible sky always fills 8 channels
    std::vector<int> channels;
    for (const SimPacket& p : replies) {
        Report5C r;
        ASSERT_TRUE(ParseReport5C(p.data.data(), p.data.size(), r));
        channels.push_back(r.Channel());
        EXPECT_GE(r.prn, 1);
        EXPECT_LE(r.prn, 32);
        EXPECT_GE(r.elevationRad, 0.0f);
        EXPECT_EQ(r.acquisitionFlag, 1);
    }
    EXPECT_EQ(channels, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(SimulatorQueries, FixModeListsTheSatellitesItCounts)
{
    SimHarness h;
    h.Run(20);
    const auto replies = WithKey(h.Ask({0x24}), "6D");
    ASSERT_EQ(replies.size(), 1u);
    Report6D r;
    ASSERT_TRUE(ParseReport6D(replies[0].data.data(), replies[0].data.size(), r));
    EXPECT_EQ(r.DimensionCode(), 4); // 3-D
    EXPECT_EQ(r.SatelliteCount(), r.prnCount);
    EXPECT_GE(r.prnCount, 4);
    // PDOP squared is HDOP squared plus VDOP squared.
    EXPECT_NEAR(r.pdop * r.pdop, r.hdop * r.hdop + r.vdop * r.vdop, 1e-3);
    EXPECT_GE(r.pdop, 1.0f);
}

TEST(SimulatorQueries, UnknownAndMalformedCommandsGetNoAnswerAndDoNoHarm)
{
    SimHarness h;
    h.Run(20);
    EXPECT_TRUE(h.Ask({0x99, 0x01, 0x02}).empty());
    EXPECT_TRUE(h.Ask({0xBB, 0x03, 0x00}).empty()); // a set with too few bytes
    std::vector<uint8_t> noise(300, 0x10);
    noise.push_back(0x03);
    h.sim.Receive(noise.data(), noise.size());
    EXPECT_TRUE(h.sim.TakeOutput().empty());
    EXPECT_EQ(WithKey(h.Ask({0x1F}), "45").size(), 1u); // still answers afterwards
}

} // namespace
