// A scripted receiver for recording and replay tests: each second a 0x4A
// position fix (its fix time counting the seconds), a 0x56 velocity and a
// 0x46 health report, a little apart, with a silence where asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedPacket {
    int64_t atNs = 0; // from the start of the script
    int id = 0;
    std::vector<uint8_t> data;
};

struct ReceiverScript {
    int seconds = 60;
    // The line is quiet for silenceSeconds less 40 ms from the last packet of
    // second silenceFrom - 1; the fix after the silence is silenceSeconds
    // after the one before it.
    int silenceFrom = 25;
    int silenceSeconds = 10;
    int64_t offsetNs = 0;    // every packet this much later (a second port)
    double firstFixTow = 100000.0;
};

std::vector<ScriptedPacket> ScriptPackets(const ReceiverScript& script);
// The frames of the packets, as the recording format defines them.
std::vector<uint8_t> FramesOf(const std::vector<ScriptedPacket>& packets);
// The packets' frames and their recorded times, written the way the recorder
// writes them (recording and index), with times from startNs.
void WriteIndexedRecording(const std::string& path, const std::vector<ScriptedPacket>& packets, int64_t startNs);
