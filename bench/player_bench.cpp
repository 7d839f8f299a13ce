// The player on large recordings: seeking in a day of 16 ports, the pace of
// an hour at x1 on a virtual clock, and the memory held while a 2 GB
// recording plays. The recordings are made here and deleted afterwards.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "link/byte_order.h"
#include "model/formats/raw_record.h"
#include "model/formats/time_index.h"
#include "model/replay/replay_player.h"
#include "platform/process_memory.h"
#include "platform/serial_device.h"

namespace {

namespace fs = std::filesystem;
constexpr int64_t kSecondNs = 1000000000;
constexpr int64_t kStartNs = 1765000000LL * kSecondNs;

// A scratch directory removed with everything in it.
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("jx_player_bench_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
};

// One second of a receiver: position (fix time inside), velocity, health;
// extraBytes of a system data reply make the recording as large as asked.
void AppendSecond(std::vector<uint8_t>& out, std::vector<TimeIndexRecord>& index, uint64_t base, int64_t atNs,
                  double tow, size_t extraBytes)
{
    std::vector<uint8_t> position(20, 0x11);
    PutFloatBE(static_cast<float>(tow), &position[16]);
    const std::vector<uint8_t> velocity(20, 0x22);
    const std::vector<uint8_t> health = {0, 0};
    const std::vector<uint8_t> extra(extraBytes, 0x33);
    const struct {
        uint8_t id;
        const std::vector<uint8_t>* data;
    } frames[] = {{0x4A, &position}, {0x56, &velocity}, {0x46, &health}, {0x58, &extra}};
    int64_t at = atNs;
    for (const auto& f : frames) {
        if (f.data->empty())
            continue;
        index.push_back({base + out.size(), at});
        AppendRawFrame(f.id, f.data->data(), static_cast<uint32_t>(f.data->size()), out);
        at += 10000000;
    }
}

// A recording of the given seconds with its index, written in large blocks.
void WriteRecording(const fs::path& path, int64_t seconds, size_t extraBytes)
{
    std::FILE* recording = std::fopen(path.c_str(), "wb");
    std::FILE* index = std::fopen(TimeIndexPath(path.string()).c_str(), "wb");
    const std::vector<uint8_t> header = EncodeTimeIndexHeader({kTimeIndexVersion, 1, "bench"});
    std::fwrite(header.data(), 1, header.size(), index);
    uint64_t written = 0;
    std::vector<uint8_t> bytes;
    std::vector<TimeIndexRecord> records;
    std::vector<uint8_t> encoded;
    for (int64_t s = 0; s < seconds; ++s) {
        AppendSecond(bytes, records, written, kStartNs + s * kSecondNs, 100000.0 + static_cast<double>(s % 500000),
                     extraBytes);
        if (bytes.size() < (1u << 22) && s + 1 < seconds)
            continue;
        std::fwrite(bytes.data(), 1, bytes.size(), recording);
        written += bytes.size();
        encoded.assign(records.size() * kTimeIndexRecordBytes, 0);
        for (size_t i = 0; i < records.size(); ++i) {
            for (int b = 0; b < 8; ++b) {
                encoded[i * 16 + static_cast<size_t>(b)] = static_cast<uint8_t>(records[i].offset >> (56 - 8 * b));
                encoded[i * 16 + 8 + static_cast<size_t>(b)] =
                    static_cast<uint8_t>(static_cast<uint64_t>(records[i].utcNs) >> (56 - 8 * b));
            }
        }
        std::fwrite(encoded.data(), 1, encoded.size(), index);
        bytes.clear();
        records.clear();
    }
    std::fclose(recording);
    std::fclose(index);
}

// Seeking to a random time in 16 recordings of 24 hours, until every port has
// its first bytes: the time from the click to the first frame.
void BM_SeekInADayOfSixteenPorts(benchmark::State& state)
{
    Scratch scratch;
    constexpr int kPorts = 16;
    constexpr int64_t kDay = 86400;
    auto player = std::make_shared<ReplayPlayer>();
    std::vector<std::unique_ptr<SerialDevice>> devices;
    for (int port = 0; port < kPorts; ++port) {
        const fs::path path = scratch.dir / ("port" + std::to_string(port) + ".zlk");
        WriteRecording(path, kDay, 0);
        player->Add(path.string(), nullptr);
        devices.push_back(MakeReplayDevice(player, static_cast<size_t>(port)));
    }
    std::mt19937_64 random(7);
    uint8_t buffer[8192];
    for (auto _ : state) {
        const int64_t at = kStartNs + static_cast<int64_t>(random() % static_cast<uint64_t>(kDay)) * kSecondNs;
        player->Seek(at);
        player->Play();
        for (auto& device : devices)
            while (device->Read(buffer, sizeof buffer) <= 0) {
            }
        player->Pause();
    }
}
BENCHMARK(BM_SeekInADayOfSixteenPorts)->Unit(benchmark::kMillisecond)->Iterations(50);

// An hour at x1 on a virtual clock read every 200 ms: how far the played
// hour is from the recorded one, and the latest any frame came.
void BM_PacingErrorOfAnHourAtNormalSpeed(benchmark::State& state)
{
    Scratch scratch;
    const fs::path path = scratch.dir / "hour.zlk";
    WriteRecording(path, 3600, 0);
    double error = 0;
    double latest = 0;
    for (auto _ : state) {
        int64_t now = 0;
        auto player = std::make_shared<ReplayPlayer>([&now] { return now; });
        player->Add(path.string(), nullptr);
        auto device = MakeReplayDevice(player, 0);
        player->Play();
        uint8_t buffer[8192];
        int64_t first = -1, last = -1;
        while (!player->Finished() && now < 2 * 3600 * kSecondNs) {
            now += 200000000;
            if (device->Read(buffer, sizeof buffer) > 0) {
                if (first < 0)
                    first = now;
                last = now;
            }
        }
        const double recorded = static_cast<double>(player->End() - player->Start());
        error = std::abs(static_cast<double>(last - first) - recorded) / recorded;
        latest = static_cast<double>(last - first - (player->End() - player->Start())) / 1e9;
    }
    state.counters["pace_error_percent"] = error * 100;
    state.counters["end_late_s"] = latest;
}
BENCHMARK(BM_PacingErrorOfAnHourAtNormalSpeed)->Unit(benchmark::kMillisecond)->Iterations(3);

// Memory while a 2 GB recording plays as fast as possible: the resident set
// above what the process held before the player opened it.
void BM_MemoryOfPlayingTwoGigabytes(benchmark::State& state)
{
    Scratch scratch;
    const fs::path path = scratch.dir / "large.zlk";
    // Idle is taken before the file is made, so what making it leaves behind counts against the player.
    const int64_t idle = ResidentSetBytes();
    WriteRecording(path, 2LL * 1024 * 1024 * 1024 / 1100, 1000); // about 1100 bytes a second
    int64_t peak = idle;
    uint64_t played = 0;
    for (auto _ : state) {
        auto player = std::make_shared<ReplayPlayer>();
        player->Add(path.string(), nullptr);
        auto device = MakeReplayDevice(player, 0);
        player->SetSpeed(kAsFastAsPossible);
        player->Play();
        std::vector<uint8_t> buffer(1 << 16);
        for (long n; (n = device->Read(buffer.data(), buffer.size())) > 0 || !player->Finished();) {
            played += static_cast<uint64_t>(std::max(n, 0L));
            if ((played & ((1u << 26) - 1)) < buffer.size())
                peak = std::max(peak, ResidentSetBytes());
        }
        peak = std::max(peak, ResidentSetBytes());
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    state.counters["played_MB"] = static_cast<double>(played) / 1e6;
    state.counters["above_idle_MB"] = static_cast<double>(peak - idle) / 1e6;
    state.counters["idle_MB"] = static_cast<double>(idle) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(BM_MemoryOfPlayingTwoGigabytes)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
