// Drives a simulated receiver as the monitor would: framed commands in,
// framed reports out, split back into packets with the project's parser.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/framing.h"
#include "link/frame_scanner.h"
#include "link/packets.h"
#include "sim/receiver_simulator.h"

struct SimPacket {
    int id = 0;
    std::vector<uint8_t> data;
    std::string Key() const
    {
        char k[8];
        if (id == 0x8F && !data.empty())
            std::snprintf(k, sizeof k, "%02X-%02X", id, data[0]);
        else
            std::snprintf(k, sizeof k, "%02X", id);
        return k;
    }
};

inline std::vector<SimPacket> SplitPackets(const std::vector<uint8_t>& bytes)
{
    std::vector<SimPacket> packets;
    FrameScanner scanner;
    scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) {
        packets.push_back({p.id, std::vector<uint8_t>(p.data, p.data + p.length)});
    });
    return packets;
}

inline std::vector<uint8_t> Framed(const std::vector<uint8_t>& message)
{
    std::vector<uint8_t> frame(2 * message.size() + 3);
    frame.resize(BuildFrame(message.data(), message.size(), frame.data()));
    return frame;
}

inline std::vector<uint8_t> CommandMessage(const Command& c)
{
    std::vector<uint8_t> msg(kMaxPacketMessage);
    msg.resize(EncodeCommand(c, msg.data()));
    return msg;
}

class SimHarness {
public:
    explicit SimHarness(const SimOptions& options = SimOptions{}) : sim(options) { sim.TakeOutput(); }

    // Sends one message (id first) and returns the packets the receiver answered with.
    std::vector<SimPacket> Ask(const std::vector<uint8_t>& message)
    {
        const std::vector<uint8_t> frame = Framed(message);
        sim.Receive(frame.data(), frame.size());
        return SplitPackets(sim.TakeOutput());
    }
    std::vector<SimPacket> Ask(const Command& c) { return Ask(CommandMessage(c)); }

    // Runs virtual time; returns what the receiver sent meanwhile.
    std::vector<SimPacket> Run(double seconds)
    {
        sim.Advance(seconds);
        return SplitPackets(sim.TakeOutput());
    }

    ReceiverSimulator sim;
};

inline std::vector<SimPacket> WithKey(const std::vector<SimPacket>& packets, const std::string& key)
{
    std::vector<SimPacket> out;
    for (const SimPacket& p : packets)
        if (p.Key() == key)
            out.push_back(p);
    return out;
}
