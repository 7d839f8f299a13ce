#include "support/scripted_receiver.h"

#include "link/byte_order.h"
#include "model/formats/raw_record.h"
#include "model/formats/time_index.h"

namespace {

constexpr int64_t kSecondNs = 1000000000;

std::vector<uint8_t> Position(double tow)
{
    std::vector<uint8_t> d(20);
    PutFloatBE(0.9f, &d[0]);
    PutFloatBE(0.2f, &d[4]);
    PutFloatBE(120.0f, &d[8]);
    PutFloatBE(16.0f, &d[12]); // 0x10 bytes inside: doubled in the frame
    PutFloatBE(static_cast<float>(tow), &d[16]);
    return d;
}

std::vector<uint8_t> Velocity(double tow)
{
    std::vector<uint8_t> d(20);
    PutFloatBE(1.5f, &d[0]);
    PutFloatBE(-0.5f, &d[4]);
    PutFloatBE(0.0f, &d[8]);
    PutFloatBE(0.1f, &d[12]);
    PutFloatBE(static_cast<float>(tow), &d[16]);
    return d;
}

} // namespace

std::vector<ScriptedPacket> ScriptPackets(const ReceiverScript& script)
{
    std::vector<ScriptedPacket> out;
    for (int s = 0; s < script.seconds; ++s) {
        if (s >= script.silenceFrom && s < script.silenceFrom + script.silenceSeconds - 1)
            continue;
        const int64_t at = s * kSecondNs + script.offsetNs;
        const double tow = script.firstFixTow + s;
        out.push_back({at, 0x4A, Position(tow)});
        out.push_back({at + 20000000, 0x56, Velocity(tow)});
        out.push_back({at + 40000000, 0x46, {0x00, 0x00}});
    }
    return out;
}

std::vector<uint8_t> FramesOf(const std::vector<ScriptedPacket>& packets)
{
    std::vector<uint8_t> out;
    for (const ScriptedPacket& p : packets)
        AppendRawFrame(static_cast<uint8_t>(p.id), p.data.data(), static_cast<uint32_t>(p.data.size()), out);
    return out;
}

void WriteIndexedRecording(const std::string& path, const std::vector<ScriptedPacket>& packets, int64_t startNs)
{
    RawRecordWriter recording;
    TimeIndexWriter index;
    recording.Open(path, false);
    index.Open(TimeIndexPath(path), false, TimeIndexHeader{kTimeIndexVersion, 3, "/dev/ttyUSB0"}, 0);
    for (const ScriptedPacket& p : packets) {
        const uint64_t offset = recording.Size();
        recording.WriteFrame(static_cast<uint8_t>(p.id), p.data.data(), static_cast<uint32_t>(p.data.size()));
        index.Add(offset, startNs + p.atNs);
    }
}
