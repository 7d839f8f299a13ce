// Real receiver recordings through the receive parser and the packet codec:
// every report of a decoded id parses, and the values are what the
// receivers were recorded saying.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/framing.h"
#include "link/packets.h"
#include "support/captures.h"
#include "support/fake_serial.h"

namespace {

struct Packet {
    uint8_t id;
    std::vector<uint8_t> data;
    int SubId() const { return id == 0x8F && !data.empty() ? data[0] : -1; }
};

std::vector<Packet> g_packets;

void Keep(PortRecord& port)
{
    g_packets.push_back({static_cast<uint8_t>(port.id), std::vector<uint8_t>(port.data, port.data + port.length)});
}

std::vector<Packet> ReadPackets(const std::string& capture)
{
    g_packets.clear();
    ResetLinkState(); // no half packet carried over from another recording
    auto line = AttachFakeSerial(0);
    Feed(*line, ReadCapture(capture));
    while (!line->input.empty())
        PollPort(PortTable[0], Keep, 0);
    return g_packets;
}

template <typename T, typename Parse>
std::vector<T> ParseAll(const std::vector<Packet>& packets, uint8_t id, Parse parse)
{
    std::vector<T> out;
    for (const Packet& p : packets) {
        T value{};
        if (p.id == id && parse(p.data.data(), p.data.size(), value))
            out.push_back(value);
    }
    return out;
}

constexpr double kRadToDeg = 57.29577866666166;

TEST(CaptureReports, EveryDecodedIdParsesAtItsRecordedLength)
{
    int total = 0;
    for (const std::string& name : CaptureNames()) {
        int known = 0;
        for (const Packet& p : ReadPackets(name)) {
            const int expected = ExpectedReportLength(p.id, p.SubId());
            if (expected < 0)
                continue;
            ++known;
            const int len = static_cast<int>(p.data.size());
            const bool fits = ReportLengthIsMinimum(p.id, p.SubId()) ? len >= expected : len == expected;
            EXPECT_TRUE(fits) << name << " id " << std::hex << int(p.id) << std::dec << " length " << len;
        }
        total += known;
    }
    EXPECT_GT(total, 2000); // receiver-k alone carries over 2000 of them
}

TEST(CaptureReports, DoublePrecisionPositionsNearTwentyPointSixNorth)
{
    const auto fixes = ParseAll<Report84>(ReadPackets("receiver-c.bin"), 0x84, ParseReport84);
    ASSERT_EQ(fixes.size(), 40u); // the 41st is cut off at the end of the recording
    for (const Report84& f : fixes) {
        EXPECT_NEAR(f.latRad * kRadToDeg, 20.6, 0.1);
        // Within a minute of the session's GPS time reports.
        EXPECT_GE(f.fixTimeS, 446960.0f);
        EXPECT_LE(f.fixTimeS, 447060.0f);
    }
    const auto velocities = ParseAll<Report56>(g_packets, 0x56, ParseReport56);
    EXPECT_EQ(velocities.size(), 41u);
}

TEST(CaptureReports, GpsTimeWeekTowAndOffset)
{
    const auto times = ParseAll<Report41>(ReadPackets("receiver-k.bin"), 0x41, ParseReport41);
    ASSERT_EQ(times.size(), 354u);
    for (const Report41& t : times) {
        EXPECT_EQ(t.week, 1851);
        EXPECT_EQ(t.utcOffsetS, 17.0f);
    }
    EXPECT_NEAR(times.front().timeOfWeekS, 332803.188, 0.001);
    EXPECT_NEAR(times.back().timeOfWeekS, 333156.188, 0.001);

    const auto a = ParseAll<Report41>(ReadPackets("receiver-a.bin"), 0x41, ParseReport41);
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a.front().week, 1403);
    EXPECT_EQ(a.front().utcOffsetS, 14.0f);
    EXPECT_NEAR(a.front().timeOfWeekS, 5073.630, 0.001);
    EXPECT_NEAR(a.back().timeOfWeekS, 5119.520, 0.001);

    const auto d = ParseAll<Report41>(ReadPackets("receiver-d.bin"), 0x41, ParseReport41);
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d.front().week, 2077);
    EXPECT_EQ(d.front().utcOffsetS, 18.0f);
}

TEST(CaptureReports, VersionsOptionsAndTimeOfTheRichestReceiver)
{
    const auto packets = ReadPackets("receiver-h.bin");
    EXPECT_EQ(ParseAll<Report45>(packets, 0x45, ParseReport45).size(), 1u);
    EXPECT_EQ(ParseAll<Report55>(packets, 0x55, ParseReport55).size(), 2u);
    const auto times = ParseAll<Report41>(packets, 0x41, ParseReport41);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].week, 2304);
    EXPECT_EQ(times[0].timeOfWeekS, 254134.0f);
    EXPECT_EQ(times[0].utcOffsetS, 18.0f);
}

TEST(CaptureReports, FixModeWithZeroToEightPrns)
{
    const auto fixes = ParseAll<Report6D>(ReadPackets("receiver-g.bin"), 0x6D, ParseReport6D);
    ASSERT_EQ(fixes.size(), 38u);
    std::vector<int> counts;
    for (const Report6D& f : fixes)
        counts.push_back(f.prnCount);
    EXPECT_EQ(*std::min_element(counts.begin(), counts.end()), 0);
    EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), 8);

    // The timing receiver f reports fix code 5 with PDOP 0 and TDOP 1.
    const auto timing = ParseAll<Report6D>(ReadPackets("receiver-f.bin"), 0x6D, ParseReport6D);
    ASSERT_EQ(timing.size(), 5u);
    for (const Report6D& f : timing) {
        EXPECT_EQ(f.DimensionCode(), 5);
        EXPECT_EQ(f.pdop, 0.0f);
        EXPECT_EQ(f.tdop, 1.0f);
    }
}

} // namespace
