// Receive parser throughput on real-shaped traffic: a large buffer of
// frames of the sizes and mixes receivers send, read through PollPort in
// 8 KB reads from an in-memory device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "link/framing.h"

namespace {

class BufferDevice : public SerialDevice {
public:
    explicit BufferDevice(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    int QueuedInputBytes() override { return static_cast<int>(bytes_.size() - at_); }
    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        const size_t n = std::min(maxBytes, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }
    long Write(const uint8_t*, size_t count) override { return static_cast<long>(count); }
    bool SetLineSettings(const LineSettings&) override { return true; }
    bool GetLineSettings(LineSettings&) override { return true; }
    bool Purge() override { return true; }
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }
    void Rewind() { at_ = 0; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// Frames shaped like a receiver's once-a-second output: positions, velocities,
// tracking status, health, with random payloads (so 0x10 bytes get stuffed).
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

size_t g_packets = 0;
void CountPacket(PortRecord&) { ++g_packets; }

void BM_PollPortThroughput(benchmark::State& state)
{
    static const std::vector<uint8_t> traffic = MakeTraffic(8 << 20);
    PortRecord& port = *new PortRecord; // large buffers: keep off the stack
    auto device = std::make_unique<BufferDevice>(traffic);
    BufferDevice* dev = device.get();
    port.handle = std::move(device);
    port.open = 1;
    for (auto _ : state) {
        dev->Rewind();
        while (dev->QueuedInputBytes() > 0)
            PollPort(port, CountPacket, 0);
    }
    benchmark::DoNotOptimize(g_packets);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(traffic.size()));
    port.handle.reset();
    delete &port;
}
BENCHMARK(BM_PollPortThroughput)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
