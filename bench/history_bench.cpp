// The history and the clock statistics at a week's scale: ADEV, MDEV and TDEV
// of 604 800 one-second samples at every octave tau; a week of one receiver on
// disk; reading and decimating the 7-day view of 16 receivers.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "demo_history.h"
#include "model/history_series.h"
#include "model/history_store.h"
#include "model/stability.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kWeek = 7 * 86400;
constexpr int64_t kStart = 20000 * 86400;

void BM_StabilityOfAWeek(benchmark::State& state)
{
    std::mt19937_64 rng(5);
    std::normal_distribution<double> noise(0.0, 10e-9);
    std::vector<double> phase;
    for (int64_t i = 0; i < kWeek; ++i)
        phase.push_back(1e-4 + 3e-9 * static_cast<double>(i) + noise(rng));
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<StabilityRow> table = StabilityTable(phase, 1.0);
        rows = table.size();
        benchmark::DoNotOptimize(table.data());
    }
    state.counters["taus"] = static_cast<double>(rows);
}
BENCHMARK(BM_StabilityOfAWeek)->Unit(benchmark::kMillisecond)->Iterations(3);

// One receiver's week made once (the simulator is slower than the store).
const std::vector<HistorySample>& AWeek()
{
    static const std::vector<HistorySample> week = DemoWeek(kStart);
    return week;
}

void BM_WriteAReceiverWeek(benchmark::State& state)
{
    uint64_t bytes = 0;
    for (auto _ : state) {
        TempDir dir;
        bytes = WriteHistory(dir.file("COM1_ttyUSB0"), AWeek());
    }
    state.counters["MB_per_receiver_week"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_WriteAReceiverWeek)->Unit(benchmark::kMillisecond)->Iterations(2);

// What the Trends window does off the GUI thread to open 7 days of 16
// receivers, here one receiver after the other on one thread: read every file
// and decimate into 1000 pixel columns, finding the events on the way.
void BM_OpenSevenDaysOfSixteen(benchmark::State& state)
{
    TempDir dir;
    std::vector<std::string> folders;
    for (int i = 0; i < 16; ++i) {
        folders.push_back(dir.file("COM" + std::to_string(i + 1) + "_ttyUSB" + std::to_string(i)));
        WriteHistory(folders.back(), AWeek());
    }
    size_t samples = 0;
    for (auto _ : state) {
        samples = 0;
        for (const std::string& folder : folders) {
            const DecimatedHistory d = ReadDecimated(folder, HistoryQuantity::Pdop, kStart, kStart + kWeek, 1000);
            samples += d.samples;
            benchmark::DoNotOptimize(d.columns.data());
        }
    }
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_OpenSevenDaysOfSixteen)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
