// A simulated receiver whose clock has white phase noise and a frequency
// offset: zelk_dump --stability finds the tau^-1 slope of white phase noise
// within the confidence bars, and the receiver's one-second history (as the
// Stability window reads it back) gives the same numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "link/packets.h"
#include "model/history_feed.h"
#include "model/port_reports.h"
#include "sim_harness.h"
#include "text_lines.h"
#include "tools/dump/dump_command.h"

namespace {

struct CsvRow {
    double tau = 0, adev = 0, adevLow = 0, adevHigh = 0, mdev = 0, tdev = 0;
};

std::vector<CsvRow> ParseCsv(const std::string& csv, std::string* header)
{
    std::istringstream in(csv);
    std::getline(in, *header);
    std::vector<CsvRow> rows;
    for (std::string line; std::getline(in, line);) {
        double v[11] = {};
        std::istringstream cells(line);
        for (double& cell : v) {
            std::string text;
            std::getline(cells, text, ',');
            cell = std::stod(text);
        }
        rows.push_back({v[0], v[2], v[3], v[4], v[5], v[8]});
    }
    return rows;
}

// The navigation model reports its clock in its position reports; the timing
// model, holding its position, in 0x54 alone.
class StabilitySim : public testing::TestWithParam<bool> {};

TEST_P(StabilitySim, WhitePhaseNoiseThroughDumpAndHistory)
{
    SimOptions options;
    options.timingModel = GetParam();
    options.clockNoiseM = 3.0;  // 10 ns rms
    options.clockDriftMps = 0.9; // 3 ppb
    SimHarness harness(options);
    const std::vector<uint8_t> recording = [&] {
        std::vector<uint8_t> bytes;
        for (int second = 0; second < 1300; ++second) {
            harness.sim.Advance(1.0);
            const std::vector<uint8_t> more = harness.sim.TakeOutput();
            bytes.insert(bytes.end(), more.begin(), more.end());
        }
        return bytes;
    }();

    // zelk_dump --stability --csv on the recording.
    std::istringstream in(std::string(recording.begin(), recording.end()));
    std::ostringstream out, err;
    ASSERT_EQ(RunDumpCommand({"--stability", "--csv", "-"}, in, out, err, nullptr, -1, -1), 0) << err.str();
    std::string header;
    const std::vector<CsvRow> rows = ParseCsv(out.str(), &header);
    EXPECT_EQ(header, "tau,n,adev,adev_low,adev_high,mdev,mdev_low,mdev_high,tdev,tdev_low,tdev_high");
    ASSERT_GE(rows.size(), 6u); // 1 .. 64 s or more
    const double whiteAdev1 = std::sqrt(3.0) * options.clockNoiseM / 299792458.0;
    for (const CsvRow& r : rows) {
        SCOPED_TRACE(r.tau);
        // The tau^-1 line through the known noise lies within each row's bars.
        EXPECT_GT(whiteAdev1 / r.tau, r.adevLow * 0.97);
        EXPECT_LT(whiteAdev1 / r.tau, r.adevHigh * 1.03);
    }

    // The same reports through the port's record into the history and back.
    std::vector<HistorySample> history;
    PortRecord port;
    port.open = 1;
    PortReportRecord reports;
    float lastFix = -1;
    int64_t second = 1'800'000'000;
    for (const SimPacket& p : SplitPackets(recording)) {
        Report84 lla2;
        Report4A lla;
        Report54 clock;
        if (p.id == 0x54 && ParseReport54(p.data.data(), p.data.size(), clock))
            reports.satelliteClock = clock, reports.satelliteClockSeen = true;
        else if (p.id == 0x84 && ParseReport84(p.data.data(), p.data.size(), lla2))
            reports.positionId = 0x84, reports.fixTime = lla2.fixTimeS, reports.biasNs = MetresToNs(lla2.clockBiasM);
        else if (p.id == 0x4A && ParseReport4A(p.data.data(), p.data.size(), lla))
            reports.positionId = 0x4A, reports.fixTime = lla.fixTimeS, reports.biasNs = MetresToNs(lla.clockBiasM);
        else
            continue;
        ++second;
        const int64_t day = second - second % kDaySeconds;
        uint8_t record[kHistoryRecordSize];
        EncodeHistoryRecord(SampleOfPort(port, reports, second, &lastFix), day, record);
        HistorySample stored;
        ASSERT_TRUE(DecodeHistoryRecord(record, day, &stored));
        history.push_back(stored);
    }
    const PhaseRun run = LongestGapFreeRun(PhaseSamplesOf(history));
    const std::vector<StabilityRow> window = StabilityTable(run.phase, run.tau0);
    ASSERT_EQ(window.size(), rows.size());
    // The history keeps the bias to 1 ps: a few parts in 1e6 of these values.
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].tau);
        EXPECT_EQ(window[i].tau, rows[i].tau);
        EXPECT_NEAR(window[i].adev.value, rows[i].adev, rows[i].adev * 2e-5);
        EXPECT_NEAR(window[i].mdev.value, rows[i].mdev, rows[i].mdev * 2e-5);
        EXPECT_NEAR(window[i].tdev.value, rows[i].tdev, rows[i].tdev * 2e-5);
    }
}

INSTANTIATE_TEST_SUITE_P(Models, StabilitySim, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& model) { return model.param ? "Timing" : "Navigation"; });

} // namespace
