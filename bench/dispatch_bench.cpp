// Full dispatch on the display port: parse, every decoder, the captions and
// lamps of the shown main window, and the repaint that follows each 8 KB
// read, as the poll timer and the event loop run them.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <vector>

#include "bench_traffic.h"
#include "core/dispatch.h"
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

void RunDispatch(benchmark::State& state, const std::vector<uint8_t>& traffic)
{
    if (!StartBenchMonitor()) {
        state.SkipWithError("the monitor did not start");
        return;
    }
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

void BM_DispatchSimulator(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = SimulatorTraffic(512 * 1024);
    RunDispatch(state, traffic);
}
BENCHMARK(BM_DispatchSimulator)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DispatchCaptures(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = CaptureTraffic();
    RunDispatch(state, traffic);
}
BENCHMARK(BM_DispatchCaptures)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
