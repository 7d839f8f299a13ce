// One tick of the poll timer (Monitor::Tick) with all 16 ports open and
// monitored, each holding 8 KB of the simulator's traffic at the tick; and
// the longest time the GUI thread is held by one of the COM panel's
// commands for all 16 ports and the ticks and transmit drains after it.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "monitor/monitor.h"
#include "bench_traffic.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "link/transmit_queue.h"
#include "monitor_bench.h"
#include "platform/port_enumeration.h"
#include "support/pty.h"

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
    Pacing().sendPauseMs = pauseMs;
    for (auto _ : state) {
        state.PauseTiming();
        Refill(lines, traffic);
        for (PortRecord& port : PortTable)
            port.searchStep = searchStep;
        state.ResumeTiming();
        Monitor::Instance().Tick();
        if (repaint)
            QCoreApplication::processEvents();
    }
    StopBenchMonitor();
}

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

enum class PortCommand { OpenAll, FindAll, BreakAll };

// Runs f and returns how long it held the thread.
template <typename F>
double Timed(F&& f)
{
    const auto start = Clock::now();
    f();
    return Ms(Clock::now() - start).count();
}

bool AnyQueued()
{
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (QueuedFrames(slot) > 0)
            return true;
    return false;
}

// One tick, then the transmit timer's drains until the queues are empty (as
// the event loop would run them between ticks). Returns the longest handler
// time; lastOut is set to when the queues emptied.
double TickAndDrain(Clock::time_point& lastOut)
{
    double longest = Timed([] { Monitor::Instance().Tick(); });
    while (AnyQueued()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        longest = std::max(longest, Timed([] { DrainTransmitQueues(); })); // no event loop runs the transmit timer here
        lastOut = Clock::now();
    }
    return longest;
}

// COM2..COM16 on pseudo-terminals (COM1, the display port, on an in-memory
// device); the production spacing of 10 ms between commands on one port.
// Reports the longest time one handler held the GUI thread, from the
// command through the ticks that send the start-up queries, and the time
// from the first of those ticks until every port's four queries were written.
void BM_Command16Ports(benchmark::State& state, PortCommand command)
{
    if (!StartBenchMonitor()) {
        state.SkipWithError("the monitor did not start");
        return;
    }
    std::vector<std::unique_ptr<PtyPair>> peers;
    for (int com = 2; com <= kPortSlots; ++com) {
        peers.push_back(std::make_unique<PtyPair>());
        SetComDevice(com, peers.back()->devicePath());
    }
    Monitor::Instance().SetAutoQuery(false);
    Pacing().sendPauseMs = 10;
    double longest = 0.0;
    double spread = 0.0;
    for (auto _ : state) {
        for (int slot = 1; slot < kPortSlots; ++slot)
            if (command != PortCommand::BreakAll)
                ClosePort(PortTable[static_cast<size_t>(slot)]);
            else if (!PortTable[static_cast<size_t>(slot)].open)
                OpenSlot(slot);
        for (auto& peer : peers)
            peer->ReadAvailable(0, 0);
        double worst = Timed([command] {
            if (command == PortCommand::OpenAll)
                Monitor::Instance().OpenAll();
            else if (command == PortCommand::FindAll)
                Monitor::Instance().FindAll();
            else
                Monitor::Instance().BreakAll();
        });
        Clock::time_point firstQueries{}, lastOut{};
        for (int tick = 0; tick < 10; ++tick) {
            const bool queriesDue = PortTable[1].searchStep == 1;
            if (queriesDue)
                firstQueries = Clock::now();
            worst = std::max(worst, TickAndDrain(lastOut));
            if (queriesDue)
                spread = std::max(spread, Ms(lastOut - firstQueries).count());
        }
        longest = std::max(longest, worst);
        state.SetIterationTime(worst / 1000.0);
    }
    state.counters["longest_tick_ms"] = longest;
    state.counters["queries_spread_ms"] = spread;
    StopBenchMonitor();
}

} // namespace

BENCHMARK_CAPTURE(BM_Command16Ports, open_all, PortCommand::OpenAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Command16Ports, find_all, PortCommand::FindAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Command16Ports, break_all, PortCommand::BreakAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
