// Receive parser throughput on real-shaped traffic, read through PollPort in
// 8 KB reads from an in-memory device: receiver-shaped frames with random
// payloads (so 0x10 bytes get stuffed), the simulator's output while it is
// polled, and the real receivers' captures.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "bench_traffic.h"
#include "link/framing.h"
#include "memory_device.h"

namespace {

// Frames shaped like a receiver's once-a-second output: positions, velocities,
// tracking status, health, with random payloads.
std::vector<uint8_t> MakeTraffic(size_t targetBytes)
{
    struct Shape {
        uint8_t id;
        size_t len;
    };
    const Shape shapes[] = {{0x4A, 20}, {0x56, 20}, {0x5C, 24}, {0x5C, 24}, {0x5C, 24}, {0x6D, 21},
                            {0x46, 2},  {0x4B, 3},  {0x82, 1},  {0x84, 36}, {0x8F, 64}, {0x41, 10}};
    std::mt19937 rng(1234);
    std::vector<uint8_t> out;
    std::vector<uint8_t> msg;
    uint8_t frame[kMaxFrameBytes];
    while (out.size() < targetBytes) {
        for (const Shape& s : shapes) {
            msg.assign(1, s.id);
            for (size_t i = 0; i < s.len; ++i)
                msg.push_back(static_cast<uint8_t>(rng()));
            const size_t n = BuildFrame(msg.data(), msg.size(), frame);
            out.insert(out.end(), frame, frame + n);
        }
    }
    return out;
}

// The captures are small: repeated up to about the size of the others.
std::vector<uint8_t> Repeated(const std::vector<uint8_t>& bytes, size_t targetBytes)
{
    std::vector<uint8_t> out;
    while (!bytes.empty() && out.size() < targetBytes)
        out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

size_t g_packets = 0;
void CountPacket(PortRecord&) { ++g_packets; }

void RunParser(benchmark::State& state, const std::vector<uint8_t>& traffic)
{
    PortRecord& port = *new PortRecord; // large buffers: keep off the stack
    auto device = std::make_unique<MemoryDevice>(traffic);
    MemoryDevice* dev = device.get();
    port.handle = std::move(device);
    port.open = 1;
    g_packets = 0;
    for (auto _ : state) {
        dev->Rewind();
        while (dev->QueuedInputBytes() > 0)
            PollPort(port, CountPacket, 0);
    }
    benchmark::DoNotOptimize(g_packets);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(traffic.size()));
    state.counters["packets/s"] =
        benchmark::Counter(static_cast<double>(g_packets), benchmark::Counter::kIsRate);
    port.handle.reset();
    delete &port;
}

void BM_PollPortThroughput(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = MakeTraffic(8 << 20);
    RunParser(state, traffic);
}
BENCHMARK(BM_PollPortThroughput)->Unit(benchmark::kMillisecond);

void BM_PollPortSimulator(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = SimulatorTraffic(8 << 20);
    RunParser(state, traffic);
}
BENCHMARK(BM_PollPortSimulator)->Unit(benchmark::kMillisecond);

void BM_PollPortCaptures(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = Repeated(CaptureTraffic(), 8 << 20);
    RunParser(state, traffic);
}
BENCHMARK(BM_PollPortCaptures)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
