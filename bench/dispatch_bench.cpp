// Full dispatch on the display port: parse, every decoder, the captions and
// lamps of the shown main window, and the repaint that follows each 8 KB
// read, as the poll timer and the event loop run them. Each traffic twice:
// with the windows as the program starts (only the main window shown), and
// with every window of the Window menu opened (the "windows" counter says
// how many were visible).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <vector>

#include "bench_traffic.h"
#include "monitor/dispatch.h"
#include "core/run_options.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "memory_device.h"
#include "monitor_bench.h"

namespace {

size_t g_packets = 0;

void CountAndDispatch(PortRecord& port)
{
    ++g_packets;
    DispatchReport(port);
}

enum class Windows { AsStarted, AllOpen };

void RunDispatch(benchmark::State& state, const std::vector<uint8_t>& traffic, Windows windows)
{
    if (!StartBenchMonitor()) {
        state.SkipWithError("the monitor did not start");
        return;
    }
    if (windows == Windows::AllOpen)
        OpenEveryWindowOfTheWindowMenu();
    QCoreApplication::processEvents(); // first paints outside the timing
    state.counters["windows"] = VisibleFormWindows();
    PortRecord& port = PortTable[0];
    auto device = std::make_unique<MemoryDevice>(traffic);
    MemoryDevice* dev = device.get();
    port.handle = std::move(device);
    g_packets = 0;
    for (auto _ : state) {
        dev->Rewind();
        while (dev->QueuedInputBytes() > 0) {
            PollPort(port, &CountAndDispatch, 0);
            QCoreApplication::processEvents(); // the repaints a tick leads to
        }
    }
    state.counters["packets/s"] = benchmark::Counter(static_cast<double>(g_packets), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(traffic.size()));
    StopBenchMonitor();
}

const std::vector<uint8_t>& Simulator()
{
    static const std::vector<uint8_t> traffic = SimulatorTraffic(512 * 1024);
    return traffic;
}

const std::vector<uint8_t>& Captures()
{
    static const std::vector<uint8_t> traffic = CaptureTraffic();
    return traffic;
}

void BM_DispatchSimulator(benchmark::State& state) { RunDispatch(state, Simulator(), Windows::AsStarted); }
BENCHMARK(BM_DispatchSimulator)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DispatchCaptures(benchmark::State& state) { RunDispatch(state, Captures(), Windows::AsStarted); }
BENCHMARK(BM_DispatchCaptures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DispatchSimulatorAllWindows(benchmark::State& state) { RunDispatch(state, Simulator(), Windows::AllOpen); }
BENCHMARK(BM_DispatchSimulatorAllWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DispatchCapturesAllWindows(benchmark::State& state) { RunDispatch(state, Captures(), Windows::AllOpen); }
BENCHMARK(BM_DispatchCapturesAllWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
