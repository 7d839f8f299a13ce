// One tick of the poll timer (ZELKTimer) with all 16 ports open and
// monitored, each holding 8 KB of the simulator's traffic at the tick.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <array>
#include <memory>
#include <vector>

#include "bench_traffic.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "monitor_bench.h"

namespace {

constexpr size_t kQueuedPerPort = 8192;

struct Line {
    std::shared_ptr<FakeSerial::State> state;
    size_t at = 0; // where in the traffic this port's receiver has got to
};

// Tops each port's queue up to 8 KB with the next bytes of its receiver.
void Refill(std::array<Line, kPortSlots>& lines, const std::vector<uint8_t>& traffic)
{
    for (Line& line : lines) {
        line.state->written.clear();
        while (line.state->input.size() < kQueuedPerPort) {
            line.state->input.push_back(traffic[line.at]);
            line.at = (line.at + 1) % traffic.size();
        }
    }
}

// searchStep: where every port is in its query sequence at the tick
// (0 = idle; 2 = the version query is due, 1 = the four queries after it,
// as on the ticks after Open All).
// pauseMs: the pause after each send. repaint: run the paints the tick queued.
void BM_Tick16Ports(benchmark::State& state, int searchStep, int pauseMs, bool repaint)
{
    static const std::vector<uint8_t> traffic = SimulatorTraffic(256 * 1024);
    std::array<Line, kPortSlots> lines;
    lines[0].state = StartBenchMonitor();
    if (!lines[0].state) {
        state.SkipWithError("the monitor did not start");
        return;
    }
    for (int slot = 0; slot < kPortSlots; ++slot) {
        if (slot > 0)
            lines[static_cast<size_t>(slot)].state = AttachFakeSerial(slot);
        lines[static_cast<size_t>(slot)].at = static_cast<size_t>(slot) * traffic.size() / kPortSlots;
        PortTable[static_cast<size_t>(slot)].monitored = 1;
    }
    SendPauseMs = pauseMs;
    for (auto _ : state) {
        state.PauseTiming();
        Refill(lines, traffic);
        for (PortRecord& port : PortTable)
            port.searchStep = searchStep;
        state.ResumeTiming();
        Form_Main->ZELKTimer();
        if (repaint)
            QCoreApplication::processEvents();
    }
    StopBenchMonitor();
}

} // namespace

BENCHMARK_CAPTURE(BM_Tick16Ports, idle_pause10ms, 0, 10, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Tick16Ports, idle_pause10ms_repaint, 0, 10, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Tick16Ports, idle_nopause, 0, 0, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Tick16Ports, version_query_pause10ms, 2, 10, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Tick16Ports, startup_queries_pause10ms, 1, 10, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
