// Writes the seed corpora of the fuzz targets into DIR/<target>/ from the
// recorded receiver captures and from a simulated receiver's answers to every
// command: fuzz_seeds DIR. Run at fuzzing time, so no binary seeds are kept.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/frame_scanner.h"
#include "link/framing.h"
#include "link/packets.h"
#include "report_codecs.h"
#include "sim/receiver_simulator.h"
#include "model/formats/system_data_file.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr size_t kMaxSeedBytes = 4096;

class SeedWriter {
public:
    explicit SeedWriter(fs::path root) : root_(std::move(root)) {}

    void Write(const std::string& target, const Bytes& bytes)
    {
        const fs::path dir = root_ / target;
        fs::create_directories(dir);
        char name[32];
        std::snprintf(name, sizeof name, "seed-%04d", count_++);
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    }
    // The selector or flag byte, then the bytes (cut to the seed size).
    void Write(const std::string& target, uint8_t first, const Bytes& bytes)
    {
        Bytes seed{first};
        seed.insert(seed.end(), bytes.begin(), bytes.begin() + static_cast<long>(std::min(bytes.size(), kMaxSeedBytes)));
        Write(target, seed);
    }

private:
    fs::path root_;
    int count_ = 0;
};

Bytes Framed(const uint8_t* message, size_t count)
{
    Bytes out(2 * count + 3);
    out.resize(BuildFrame(message, count, out.data()));
    return out;
}

Command Make(CommandKind kind, uint8_t type = 0, uint8_t sv = 0)
{
    Command c;
    c.kind = kind;
    c.resetMode = kColdResetMode;
    c.systemData.dataType = type;
    c.systemData.sv = sv;
    c.time = {129600.5f, 2400};
    c.position = {0.6f, -2.1f, 120.0f};
    return c;
}

// One message of every command kind, the system data requests for each type.
std::vector<Bytes> CommandMessages()
{
    std::vector<Command> commands;
    for (int k = static_cast<int>(CommandKind::ResetMode); k <= static_cast<int>(CommandKind::SaveToFlash); ++k)
        if (k != static_cast<int>(CommandKind::RequestSystemData) && k != static_cast<int>(CommandKind::LoadSystemData))
            commands.push_back(Make(static_cast<CommandKind>(k)));
    for (uint8_t type : {kTypeAlmanacRaw, kTypeAlmanac, kTypeEphemeris})
        commands.push_back(Make(CommandKind::RequestSystemData, type, 3));
    for (uint8_t type : {kTypeHealthPage, kTypeIonosphere, kTypeUtc})
        commands.push_back(Make(CommandKind::RequestSystemData, type, 0));
    Command load = Make(CommandKind::LoadSystemData, kTypeUtc, 0);
    load.systemData.dataLength = 16;
    commands.push_back(load);
    std::vector<Bytes> out;
    for (const Command& c : commands) {
        Bytes msg(kMaxPacketMessage);
        msg.resize(EncodeCommand(c, msg.data()));
        if (!msg.empty())
            out.push_back(msg);
    }
    return out;
}

// What a simulated receiver sends over 12 seconds while it is asked everything.
Bytes SimulatorTraffic(const std::vector<Bytes>& commands)
{
    ReceiverSimulator receiver{SimOptions{}};
    receiver.Advance(8);
    Bytes out = receiver.TakeOutput();
    for (const Bytes& msg : commands) {
        const Bytes frame = Framed(msg.data(), msg.size());
        receiver.Receive(frame.data(), frame.size());
        receiver.Advance(0.25);
    }
    receiver.Advance(4);
    const Bytes more = receiver.TakeOutput();
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Packet {
    int id;
    Bytes data;
};

// The packets of the streams, one per id, sub-id and length.
std::vector<Packet> DistinctPackets(const std::vector<Bytes>& streams)
{
    std::set<std::tuple<int, int, size_t>> seen;
    std::vector<Packet> out;
    for (const Bytes& s : streams) {
        FrameScanner scanner;
        scanner.Feed(s.data(), s.size(), [&](const ScannedPacket& p) {
            const int sub = p.length > 0 ? p.data[0] : -1;
            if (p.hasStart && seen.insert({p.id, p.id == 0x8F ? sub : -1, p.length}).second)
                out.push_back({p.id, Bytes(p.data, p.data + p.length)});
        });
    }
    return out;
}

void WritePacketSeeds(SeedWriter& w, const std::vector<Packet>& packets, const std::vector<Bytes>& commands)
{
    for (const Packet& p : packets) {
        Bytes message{static_cast<uint8_t>(p.id)};
        message.insert(message.end(), p.data.begin(), p.data.end());
        const Bytes frame = Framed(message.data(), message.size());
        w.Write("monitor_receive_fuzz", 0, frame);
        w.Write("dump_fuzz", 1, frame);
        for (size_t i = 0; i < kReportCodecs.size(); ++i) {
            const ReportCodec& c = kReportCodecs[i];
            if (c.id == p.id && (c.subId < 0 || (!p.data.empty() && c.subId == p.data[0])))
                w.Write("packets_fuzz", static_cast<uint8_t>(i), p.data);
        }
        Report58 r;
        if (ParseReport58(p.data.data(), p.data.size(), r) && r.operation == 2) {
            SystemDataBlock block{r.dataType, r.sv, r.dataLength, {}};
            std::copy_n(r.data.begin(), r.dataLength, block.data.begin());
            const bool ephemeris = r.dataType == kTypeEphemeris;
            Bytes file(kAlmanacFileHeader.begin(), kAlmanacFileHeader.end());
            if (ephemeris)
                file.clear();
            AppendBlock(file, block);
            w.Write("system_data_file_fuzz", ephemeris ? 1 : 0, file);
            // transfer_fuzz: the reply during a download, the file for an upload.
            w.Write("transfer_fuzz", ephemeris ? 1 : 0, frame);
            w.Write("transfer_fuzz", ephemeris ? 3 : 2, file);
        }
    }
    Bytes allCommands;
    for (const Bytes& msg : commands) {
        w.Write("packets_fuzz", static_cast<uint8_t>(kCommandSelector), msg);
        const Bytes frame = Framed(msg.data(), msg.size());
        allCommands.insert(allCommands.end(), frame.begin(), frame.end());
        Bytes seed{2, 255};
        seed.insert(seed.end(), frame.begin(), frame.end());
        w.Write("simulator_fuzz", seed);
    }
    // Every command in one stream, 20 bytes at a time, half a second apart.
    Bytes stream{1, 19};
    stream.insert(stream.end(), allCommands.begin(), allCommands.end());
    w.Write("simulator_fuzz", stream);
}

void WriteTextSeeds(SeedWriter& w)
{
    for (const char* text : {"0 37.5 -122.25 15.0\r\n", "1 -2700000.5 -4300000.25 3850000\n", "0 -33.9 151.2 58"}) {
        const std::string s(text);
        w.Write("position_file_fuzz", Bytes(s.begin(), s.end()));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds DIR\n";
        return 2;
    }
    SeedWriter w{fs::path(argv[1])};
    const std::vector<Bytes> commands = CommandMessages();
    std::vector<Bytes> streams{SimulatorTraffic(commands)};
    for (const auto& entry : fs::directory_iterator(JX_CAPTURES_DIR))
        if (entry.path().extension() == ".bin")
            streams.push_back(ReadFile(entry.path()));
    for (size_t i = 0; i < streams.size(); ++i) {
        w.Write("monitor_receive_fuzz", static_cast<uint8_t>(i * 37), streams[i]); // spread over the modes
        w.Write("dump_fuzz", static_cast<uint8_t>(i % 2), streams[i]);
    }
    WritePacketSeeds(w, DistinctPackets(streams), commands);
    WriteTextSeeds(w);
    return 0;
}
