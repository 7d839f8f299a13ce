// zelk_dump throughput on a large recording of simulator traffic.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <vector>

#include "link/framing.h"
#include "tools/dump/dump_run.h"

namespace {

// Discards what it is given, so the benchmark measures decoding and formatting.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& message)
{
    uint8_t frame[kMaxFrameBytes];
    const size_t n = BuildFrame(message.data(), message.size(), frame);
    out.insert(out.end(), frame, frame + n);
}

// About 8 MB of a receiver's second: position, velocity, time, health,
// fix mode and eight tracking channels, with some 0x10 bytes to unstuff.
const std::vector<uint8_t>& Recording()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> r;
        const std::vector<uint8_t> lla = {0x4A, 0x3E, 0x10, 0x12, 0x34, 0x3F, 0x01, 0x02, 0x03, 0x42, 0x80, 0, 0,
                                          0x46, 0x10, 0x10, 0x00, 0x48, 0x12, 0x34, 0x56};
        const std::vector<uint8_t> enu = {0x56, 0x3F, 0, 0, 0, 0xBF, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x40, 0, 0, 0x48,
                                          0x12, 0x34, 0x56};
        const std::vector<uint8_t> time = {0x41, 0x48, 0x12, 0x34, 0x56, 0x09, 0x60, 0x41, 0x90, 0, 0};
        const std::vector<uint8_t> health = {0x46, 0, 0};
        const std::vector<uint8_t> fix = {0x6D, 0x84, 0x3F, 0xC0, 0, 0, 0x3F, 0x80, 0, 0, 0x3F, 0x60, 0, 0,
                                          0x3F, 0x20, 0, 0, 3, 7, 16, 21, 30, 9, 12, 2};
        std::vector<uint8_t> track = {0x5C, 7, 0x10, 1, 1, 0x41, 0x40, 0, 0, 0x48, 0x12, 0x34, 0x56,
                                      0x3F, 0x10, 0, 0, 0x40, 0x20, 0, 0, 0, 1, 0, 0};
        while (r.size() < 8 * 1024 * 1024) {
            for (const auto* m : {&lla, &enu, &time, &health, &fix})
                Append(r, *m);
            for (uint8_t ch = 0; ch < 8; ++ch) {
                track[2] = static_cast<uint8_t>(ch << 3);
                Append(r, track);
            }
        }
        return r;
    }();
    return bytes;
}

void BM_DumpText(benchmark::State& state, bool json)
{
    const std::vector<uint8_t>& bytes = Recording();
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        const DumpSummary s = DumpBuffer(bytes.data(), bytes.size(), json, out);
        benchmark::DoNotOptimize(s.packets);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_DumpTextLines(benchmark::State& state) { BM_DumpText(state, false); }
void BM_DumpJsonLines(benchmark::State& state) { BM_DumpText(state, true); }

} // namespace

BENCHMARK(BM_DumpTextLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DumpJsonLines)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
