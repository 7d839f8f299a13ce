// Real receiver recordings through the receive parser and the packet codec:
// every report of a decoded id parses, and the values are what the
// receivers were recorded saying.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "describe/timing_words.h"
#include "link/framing.h"
#include "link/gnss_reports.h"
#include "link/packets.h"
#include "support/captures.h"
#include "support/fake_serial.h"

namespace {

struct Packet {
    uint8_t id;
    std::vector<uint8_t> data;
    int SubId() const { return SubIdOf(id, data.data(), data.size()); }
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
constexpr double kExactDegPerRad = 57.29577951308232; // the newer reports' degrees

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

// The newer reports: the first of each kind in its recording holds the
// values worked out by hand from the recordings (layout notes and README).
TEST(CaptureReports, TimingReportsOfTheTimingReceivers)
{
    const auto e = ReadPackets("receiver-e.bin");
    const auto times = ParseAll<Report8FAB>(e, 0x8F, ParseReport8FAB);
    ASSERT_EQ(times.size(), 59u);
    EXPECT_EQ(times.front().week, 2076);
    EXPECT_EQ(times.front().timeOfWeekS, 239909u);
    EXPECT_EQ(times.back().timeOfWeekS, 239967u);
    EXPECT_EQ(times.front().timingFlags & kTimingDateIsUtc, 0);

    const auto status = ParseAll<Report8FAC>(e, 0x8F, ParseReport8FAC);
    ASSERT_EQ(status.size(), 59u);
    const Report8FAC& s = status.front();
    EXPECT_EQ(s.receiverMode, 7);
    EXPECT_EQ(s.surveyProgress, 100);
    EXPECT_NEAR(s.latRad * kExactDegPerRad, 41.3395069, 1e-6);
    EXPECT_NEAR(s.lonRad * kExactDegPerRad, -75.7059360, 1e-6);
    EXPECT_NEAR(s.altM, 210.60, 0.005);
    EXPECT_NEAR(s.temperatureC, 30.04, 0.005);
    EXPECT_NEAR(s.ppsOffsetNs, 0.99, 0.005);
    EXPECT_NEAR(s.ppsQuantisationNs, 1.60, 0.005);

    const auto g = ParseAll<Report8FAC>(ReadPackets("receiver-g.bin"), 0x8F, ParseReport8FAC);
    ASSERT_FALSE(g.empty());
    EXPECT_NEAR(g.front().latRad * kExactDegPerRad, 44.07, 0.005);
    EXPECT_NEAR(g.front().lonRad * kExactDegPerRad, -121.3, 0.05);
    EXPECT_NEAR(g.front().altM, 1107.4, 0.05);
    EXPECT_NEAR(g.front().temperatureC, 34.4, 0.05);
    EXPECT_NEAR(g.front().clockOffsetPpb, -170.8, 0.05);

    // Capture l: UTC date, GPS week and second.
    const auto l = ParseAll<Report8FAB>(ReadPackets("receiver-l.bin"), 0x8F, ParseReport8FAB);
    ASSERT_EQ(l.size(), 107u);
    EXPECT_EQ(l.front().timingFlags, 0x03);
    EXPECT_EQ(l.front().week, 1849);
    EXPECT_EQ(l.front().timeOfWeekS, 520351u);
    EXPECT_EQ(l.back().timeOfWeekS, 520457u);
    // Ten days before the leap second of 30 June 2015, the receiver says so.
    const auto lStatus = ParseAll<Report8FAC>(g_packets, 0x8F, ParseReport8FAC);
    ASSERT_FALSE(lStatus.empty());
    EXPECT_EQ(AlarmText(MinorAlarmWords(lStatus.front().minorAlarms)), "no stored position, leap second pending");
    EXPECT_EQ(AlarmText(MinorAlarmWords(0x0400)), "bit 10"); // no meaning known
    EXPECT_EQ(AlarmText(CriticalAlarmWords(0)), "none");
}

TEST(CaptureReports, CompactFixesWithTheirOwnWeek)
{
    const auto a = ParseAll<CompactFix>(ReadPackets("receiver-a.bin"), 0x8F, ParseReport8F20);
    ASSERT_EQ(a.size(), 30u);
    EXPECT_NEAR(a.front().LatDeg(), 53.5377481, 1e-7);
    EXPECT_NEAR(a.front().LonDeg(), -113.4932580, 1e-7);
    EXPECT_NEAR(a.front().AltM(), 938.7, 0.05);
    EXPECT_EQ(a.front().week, 1403);
    EXPECT_EQ(a.front().TimeOfWeekS(), 5100.0);
    EXPECT_EQ(a.back().TimeOfWeekS(), 5131.0);

    // The 10-bit week of an old receiver, as received.
    const auto d = ParseAll<CompactFix>(ReadPackets("receiver-d.bin"), 0x8F, ParseReport8F20);
    ASSERT_EQ(d.size(), 30u);
    EXPECT_EQ(d.front().week, 1053);

    const auto k = ParseAll<CompactFix>(ReadPackets("receiver-k.bin"), 0x8F, ParseReport8F23);
    ASSERT_EQ(k.size(), 354u);
    EXPECT_NEAR(k.front().LatDeg(), -37.7586086, 1e-7);
    EXPECT_NEAR(k.front().LonDeg(), 144.9989792, 1e-7);
    EXPECT_NEAR(k.front().AltM(), 59.89, 0.005);
    EXPECT_EQ(k.front().week, 1851);
    EXPECT_EQ(k.front().TimeOfWeekS(), 332803.0);
    EXPECT_EQ(k.back().TimeOfWeekS(), 333156.0);
    EXPECT_EQ(k.front().svCount, -1);
}

TEST(CaptureReports, MultiGnssChannelsFixListsClockAndVersions)
{
    const auto h = ReadPackets("receiver-h.bin");
    const auto channels = ParseAll<Report5D>(h, 0x5D, ParseReport5D);
    ASSERT_EQ(channels.size(), 65u);
    const Report5D& first = channels.front();
    EXPECT_EQ(first.prn, 25);
    EXPECT_EQ(first.channel, 0);
    EXPECT_EQ(first.acquisitionFlag, 1);
    EXPECT_EQ(first.usedInFix, 1);
    EXPECT_EQ(first.signalLevelDbHz, 42.0f);
    EXPECT_NEAR(first.elevationRad * kRadToDeg, 38.0, 0.05);
    EXPECT_NEAR(first.azimuthRad * kRadToDeg, 307.0, 0.05);
    EXPECT_EQ(SatelliteLabel(first.system, first.prn), "G25");
    for (const Report5D& c : channels) {
        EXPECT_GE(c.elevationRad * kRadToDeg, 0.0);
        EXPECT_LE(c.elevationRad * kRadToDeg, 90.0);
    }

    const auto fixes = ParseAll<Report6C>(h, 0x6C, ParseReport6C);
    ASSERT_EQ(fixes.size(), 27u);
    for (const Report6C& f : fixes)
        EXPECT_LE(f.prnCount, 12);

    EXPECT_EQ(ParseAll<Report54>(h, 0x54, ParseReport54).size(), 25u);

    const auto firmware = ParseAll<Report1C81>(h, 0x1C, ParseReport1C81);
    ASSERT_EQ(firmware.size(), 1u);
    EXPECT_EQ(firmware[0].major, 1);
    EXPECT_EQ(firmware[0].minor, 5);
    EXPECT_EQ(firmware[0].build, 0);
    EXPECT_EQ(firmware[0].year, 2018);
    EXPECT_EQ(firmware[0].month, 4);
    EXPECT_EQ(firmware[0].day, 3);
    EXPECT_EQ(firmware[0].productName, "RX-MODEL-A");
    const auto hardware = ParseAll<Report1C83>(h, 0x1C, ParseReport1C83);
    ASSERT_EQ(hardware.size(), 1u);
    EXPECT_EQ(hardware[0].serialNumber, 1195000112u);
    EXPECT_EQ(hardware[0].buildYear, 2019);
    EXPECT_EQ(hardware[0].buildMonth, 4);
    EXPECT_EQ(hardware[0].buildDay, 11);
    EXPECT_EQ(hardware[0].buildHour, 13);
    EXPECT_EQ(hardware[0].hardwareCode, 3023);
}

} // namespace
