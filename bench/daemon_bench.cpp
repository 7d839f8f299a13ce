// jx_monitord's own costs:
//   BM_Scrape16x12: one GET /metrics page from 16 ports of 12 tracked channels
//     each, snapshots taken from the link and model state (goal: under 5 ms CPU);
//   BM_RecordingRss: resident memory over 26 virtual hours of 16 recording
//     ports, files rotating hourly and the first day's removed (goal: flat
//     after the first hour; counters rss_hour1_kb and rss_end_kb).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <sstream>

#include "daemon/daemon.h"
#include "link/port_table.h"
#include "model/port_reports.h"
#include "platform/port_enumeration.h"
#include "platform/process_memory.h"
#include "support/temp_dir.h"

namespace {

void FillSixteenReceivers(Daemon& daemon)
{
    ClearComMapping();
    const uint8_t none[1] = {};
    for (int slot = 0; slot < kPortSlots; ++slot) {
        SetComDevice(slot + 1, "/dev/serial/by-id/usb-bench-" + std::to_string(slot) + "-if00-port0");
        PortTable[static_cast<size_t>(slot)].open = 1;
        PortTable[static_cast<size_t>(slot)].traffic = {123456, 9876543, 200};
        PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
        r.fixMode = 0x84;
        r.pdop = 1.7f, r.hdop = 1.1f, r.vdop = 1.3f, r.tdop = 0.8f;
        r.positionId = 0x84;
        r.latRad = 0.9, r.lonRad = 0.1, r.altM = 80, r.biasNs = 12345;
        r.velocityId = 0x56, r.biasRatePpb = 3.5f;
        r.gpsWeek = 2400, r.timeOfWeekS = 1000;
        for (size_t c = 0; c < static_cast<size_t>(kTrackChannels); ++c) {
            r.chanPrn[c] = static_cast<uint8_t>(c + 1);
            r.chanTimeout[c] = 10;
            r.chanLevel[c] = 30;
            r.fixSvs[c % 8] = static_cast<int32_t>(c + 1);
        }
        for (int id : {0x41, 0x6D, 0x84, 0x56, 0x5C})
            daemon.OnPacket(slot, id, none, 0);
    }
}

void BM_Scrape16x12(benchmark::State& state)
{
    std::ostringstream journal;
    Daemon daemon(DaemonConfig{}, SystemDaemonClock(), journal);
    FillSixteenReceivers(daemon);
    daemon.OnTick();
    size_t bytes = 0;
    for (auto _ : state) {
        const HttpAnswer answer = daemon.Metrics();
        bytes = answer.body.size();
        benchmark::DoNotOptimize(answer.body.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
    ClearComMapping();
}
BENCHMARK(BM_Scrape16x12)->Unit(benchmark::kMicrosecond);

void BM_RecordingRss(benchmark::State& state)
{
    TempDir dir;
    DaemonConfig config;
    config.recording.directory = dir.path();
    config.recording.keepDays = 1;
    int64_t utc = 1796774400; // 2026-12-09 00:00 UTC
    double steady = 0;
    std::ostringstream journal;
    const std::vector<uint8_t> small(40, 0x10), large(300, 0x42);
    for (auto _ : state) {
        Daemon daemon(config, {[&steady] { return steady; }, [&utc] { return utc; }}, journal);
        FillSixteenReceivers(daemon);
        int64_t rssHour1 = 0;
        for (int second = 0; second < 26 * 3600; ++second, ++utc, steady += 1) {
            for (int slot = 0; slot < kPortSlots; ++slot) {
                const std::vector<uint8_t>& packet = second % 10 == 0 ? large : small;
                daemon.OnPacket(slot, 0x6D, packet.data(), static_cast<uint32_t>(packet.size()));
            }
            daemon.OnTick();
            if (second == 3600)
                rssHour1 = ResidentSetBytes();
        }
        state.counters["rss_hour1_kb"] = static_cast<double>(rssHour1 / 1024);
        state.counters["rss_end_kb"] = static_cast<double>(ResidentSetBytes() / 1024);
        const std::string lines = journal.str();
        state.counters["journal_lines"] = static_cast<double>(std::count(lines.begin(), lines.end(), '\n'));
    }
    ClearComMapping();
}
BENCHMARK(BM_RecordingRss)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
