// The metrics page: a scrape of 16 ports with 12 channels each passes
// promtool's check, every value carries port and device, and what a receiver
// has not reported is absent rather than zero.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "daemon/metrics_text.h"
#include "daemon/receiver_snapshot.h"
#include "link/port_table.h"
#include "model/port_reports.h"
#include "promtool.h"
#include "support/temp_dir.h"

namespace {

ReceiverSnapshot FullReceiver(int n)
{
    ReceiverSnapshot s;
    s.port = "COM" + std::to_string(n + 1);
    s.device = "/dev/serial/by-id/usb-station-" + std::to_string(n) + "-if00-port0";
    s.open = true;
    s.lastPacketAgeS = 0.2;
    s.packets = 1000 + static_cast<uint64_t>(n);
    s.bytes = 50000;
    s.reconnects = 1;
    s.fixDimension = 3;
    s.satellitesUsed = 8;
    s.pdop = 1.9, s.hdop = 1.1, s.vdop = 1.5, s.tdop = 0.9;
    s.gpsWeek = 2400;
    s.timeOfWeekS = 345600.5;
    s.latitudeDeg = 52.1, s.longitudeDeg = -4.25, s.altitudeM = 120.5;
    s.clockBiasS = 1.5e-4;
    s.clockDriftPpb = -12.5;
    for (int c = 0; c < 12; ++c)
        s.channels.push_back({c + 1, 20.0 + c, 10.0 * (c % 9), 30.0 * c, c < 8});
    s.timing = TimingSnapshot{};
    s.timing->ppsOffsetS = -3.5e-9;
    s.timing->criticalAlarms = 0x0010; // a bit without a word shows by number
    s.timing->minorAlarms = 0x0003;
    return s;
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

} // namespace

TEST(Metrics, SixteenPortsOfTwelveChannelsPassPromtool)
{
    std::vector<PortMetrics> ports;
    for (int n = 0; n < 16; ++n)
        ports.push_back({FullReceiver(n), {}});
    ports[3].alarms[static_cast<size_t>(AlarmKind::NoFix)] = {true, 3};
    const std::string text = MetricsText(ports, "1.0");

    TempDir dir;
    WriteFileText(dir.file("scrape.txt"), text);
    const ToolResult check = RunPromtool("check metrics", dir.file("scrape.txt"));
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_TRUE(check.output.empty()) << check.output; // no lint remark either

    EXPECT_EQ(LinesStartingWith(text, "jx_channel_signal_level{").size(), 16u * 12u);
    EXPECT_EQ(LinesStartingWith(text, "jx_receiver_dop{").size(), 16u * 4u);
    EXPECT_EQ(LinesStartingWith(text, "jx_alarm_active{").size(), 16u * kAlarmKinds);
    // Every sample names its port and device first.
    const std::regex sample(R"(^jx_\w+\{port="COM\d+",device="[^"]+"(,\w+="[^"]*")*\} \S+$)");
    for (const std::string& line : LinesStartingWith(text, "jx_receiver_"))
        EXPECT_TRUE(std::regex_match(line, sample)) << line;
    EXPECT_NE(text.find("jx_alarm_active{port=\"COM4\",device=\"/dev/serial/by-id/usb-station-3-if00-port0\","
                        "alarm=\"no_fix\"} 1\n"),
              std::string::npos);
    EXPECT_NE(text.find("jx_alarm_transitions_total{port=\"COM4\",device=\"/dev/serial/by-id/usb-station-3-if00-port0\","
                        "alarm=\"no_fix\"} 3\n"),
              std::string::npos);
    EXPECT_NE(text.find("jx_receiver_dop{port=\"COM1\",device=\"/dev/serial/by-id/usb-station-0-if00-port0\","
                        "type=\"pdop\"} 1.9\n"),
              std::string::npos);
    EXPECT_NE(text.find("jx_monitord_build_info{version=\"1.0\"} 1\n"), std::string::npos);
    // Timing alarms: the twelve minor bits with a word always, a wordless bit only while set.
    EXPECT_EQ(LinesStartingWith(text, "jx_receiver_timing_alarm{").size(), 16u * 13u);
    EXPECT_NE(text.find("jx_receiver_timing_alarm{port=\"COM1\",device=\"/dev/serial/by-id/usb-station-0-if00-port0\","
                        "severity=\"critical\",alarm=\"bit 4\"} 1\n"),
              std::string::npos);
    EXPECT_NE(text.find("severity=\"minor\",alarm=\"antenna shorted\"} 0\n"), std::string::npos);
    EXPECT_NE(text.find("jx_receiver_pps_offset_seconds{port=\"COM16\",device=\"/dev/serial/by-id/usb-station-15-if00-"
                        "port0\"} -3.5e-09\n"),
              std::string::npos);
}

TEST(Metrics, UnreportedValuesAreAbsentAndLabelsAreEscaped)
{
    ReceiverSnapshot silent;
    silent.port = "COM2";
    silent.device = "tcp://[::1]:40\"01\\x";
    const std::string text = MetricsText({{silent, {}}}, "1.0");
    TempDir dir;
    WriteFileText(dir.file("scrape.txt"), text);
    const ToolResult check = RunPromtool("check metrics", dir.file("scrape.txt"));
    EXPECT_EQ(check.status, 0) << check.output;
    const std::string labels = "{port=\"COM2\",device=\"tcp://[::1]:40\\\"01\\\\x\"}";
    EXPECT_NE(text.find("jx_receiver_up" + labels + " 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("jx_receiver_packets_total" + labels + " 0\n"), std::string::npos);
    for (const char* absent : {"jx_receiver_gps_week{", "jx_receiver_latitude_degrees{", "jx_receiver_dop{",
                               "jx_receiver_fix_dimension{", "jx_receiver_satellites_used{", "jx_channel_used{",
                               "jx_receiver_last_packet_age_seconds{", "jx_receiver_clock_bias_seconds{",
                               "jx_receiver_pps_offset_seconds{", "jx_receiver_timing_alarm{"})
        EXPECT_TRUE(LinesStartingWith(text, absent).empty()) << absent;
}

// From the link and model state: a value is there once its report came.
TEST(Metrics, SnapshotTakesOnlyWhatWasReported)
{
    PortRecord port;
    port.open = 1;
    port.traffic = {42, 900, 1500};
    PortReportRecord reports;
    ReportsSeen seen;
    ReceiverSnapshot before = SnapshotOf(port, reports, seen);
    EXPECT_TRUE(before.open);
    EXPECT_EQ(before.packets, 42u);
    EXPECT_FALSE(before.lastPacketAgeS || before.fixDimension || before.pdop || before.gpsWeek || before.latitudeDeg ||
                 before.clockBiasS || before.clockDriftPpb);

    reports.fixMode = reports.fix.fixModeBits = 0x54; // 3-D, five satellites
    reports.pdop = 2.5f;
    reports.fixSvs = {5, 7, 0, 0, 0, 0, 0, 0};
    reports.positionId = 0x4A;
    reports.latRad = 0.5, reports.lonRad = -0.25, reports.altM = 100;
    reports.latDeg = 0.5 * RadToDeg, reports.lonDeg = -0.25 * RadToDeg;
    reports.biasNs = 2500;
    reports.gpsWeek = 2345;
    reports.chanPrn[0] = 5, reports.chanTimeout[0] = 10, reports.chanLevel[0] = 40;
    reports.chanPrn[1] = 9, reports.chanTimeout[1] = 10;
    reports.chanPrn[2] = 5, reports.chanTimeout[2] = 10; // a second channel on PRN 5
    reports.chanPrn[3] = 11, reports.chanTimeout[3] = 0; // no longer tracked
    seen.set(0x6D);
    seen.set(0x41);
    const ReceiverSnapshot after = SnapshotOf(port, reports, seen);
    EXPECT_EQ(after.lastPacketAgeS, 1.5);
    EXPECT_EQ(after.fixDimension, 3);
    EXPECT_EQ(after.satellitesUsed, 5);
    EXPECT_EQ(after.pdop, 2.5);
    EXPECT_EQ(after.gpsWeek, 2345);
    ASSERT_TRUE(after.latitudeDeg && after.longitudeDeg && after.altitudeM);
    EXPECT_NEAR(*after.latitudeDeg, 0.5 * RadToDeg, 1e-6);
    EXPECT_NEAR(*after.longitudeDeg, -0.25 * RadToDeg, 1e-6);
    EXPECT_NEAR(*after.altitudeM, 100, 1e-3);
    EXPECT_EQ(after.clockBiasS, 2.5e-6);
    ASSERT_EQ(after.channels.size(), 2u);
    EXPECT_EQ(after.channels[0].prn, 5);
    EXPECT_TRUE(after.channels[0].used);
    EXPECT_EQ(after.channels[1].prn, 9);
    EXPECT_FALSE(after.channels[1].used);

    // The fix code is the dimension plus one; 5, a timing receiver's time fix at
    // a held position (capture h's 0x6C), counts as a fix; 0, 6 and 7 say nothing.
    for (const auto& [bits, dimension] : std::vector<std::pair<uint8_t, std::optional<int>>>{
             {0x50, std::nullopt}, {0x51, 0}, {0x53, 2}, {0xC5, 4}, {0x56, std::nullopt}, {0x57, std::nullopt}}) {
        reports.fix.fixModeBits = bits;
        EXPECT_EQ(SnapshotOf(port, reports, seen).fixDimension, dimension) << int(bits);
    }

    // A timing receiver holding its position reports its clock in 0x54 alone.
    PortReportRecord timing;
    timing.satelliteClock = {5693.6f, 62.8f, 254161.0f};
    timing.satelliteClockSeen = true;
    const ReceiverSnapshot clockOnly = SnapshotOf(port, timing, seen);
    ASSERT_TRUE(clockOnly.clockBiasS && clockOnly.clockDriftPpb);
    EXPECT_NEAR(*clockOnly.clockBiasS, 5693.6 / 299792458.0, 1e-12);
    EXPECT_NEAR(*clockOnly.clockDriftPpb, 62.8 / 0.299792458, 1e-3);
}

TEST(Metrics, TheShippedAlertRulesPassPromtool)
{
    const ToolResult check = RunPromtool("check rules " JX_SOURCE_DIR "/docs/prometheus/jx-alerts.yml");
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(check.output.find("SUCCESS: 9 rules found"), std::string::npos) << check.output;
}
