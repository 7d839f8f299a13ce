// A scripted receiver for the transfer tests: it answers system data
// requests from a table of blocks, acknowledges loads, and records every
// command it was sent. Replies are assembled by hand, not by the codec.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "link/frame_scanner.h"
#include "link/packets.h"
#include "support/fake_serial.h"
#include "support/monitor_gui.h"

using Bytes = std::vector<uint8_t>;
using TypeSv = std::pair<uint8_t, uint8_t>;

class ScriptedReceiver {
public:
    std::map<TypeSv, Bytes> blocks;  // what a request for (type, SV) answers with
    std::set<TypeSv> silent;         // requests and loads left without any reply
    uint8_t loadAnswer = 1;          // operation byte of a load reply
    std::vector<Command> commands;   // every command received, in order
    // Bytes queued in front of each reply (other reports, noise).
    std::function<Bytes(const Command&)> before;
    // When set, replies wait in 'pending' until the test releases them.
    bool deferReplies = false;
    Bytes pending;

    void Release(FakeSerial::State& s)
    {
        Feed(s, pending);
        pending.clear();
    }

    void Attach(FakeSerial::State& state)
    {
        state.responder = [this](FakeSerial::State& s, const uint8_t* bytes, size_t count) {
            scanner_.Feed(bytes, count, [&](const ScannedPacket& p) { Answer(s, p); });
        };
    }

    static Bytes Reply(uint8_t operation, uint8_t type, uint8_t sv, const Bytes* data)
    {
        Bytes msg = {0x58, operation, type, sv};
        if (data) {
            msg.push_back(static_cast<uint8_t>(data->size()));
            msg.insert(msg.end(), data->begin(), data->end());
        }
        return Frame(msg);
    }

private:
    void Answer(FakeSerial::State& s, const ScannedPacket& p)
    {
        Command c;
        if (!ParseCommand(static_cast<uint8_t>(p.id), p.data, p.length, c))
            return;
        commands.push_back(c);
        if (before)
            Feed(s, before(c));
        const TypeSv key{c.systemData.dataType, c.systemData.sv};
        if (silent.count(key))
            return;
        Bytes reply;
        if (c.kind == CommandKind::RequestSystemData) {
            const auto it = blocks.find(key);
            reply = Reply(it != blocks.end() ? 2 : 3, key.first, key.second,
                          it != blocks.end() ? &it->second : nullptr);
        } else if (c.kind == CommandKind::LoadSystemData) {
            reply = Reply(loadAnswer, key.first, key.second, nullptr);
        }
        if (deferReplies)
            pending.insert(pending.end(), reply.begin(), reply.end());
        else
            Feed(s, reply);
    }

    FrameScanner scanner_;
};

// Test data of a block: recognisable per type and SV, with a DLE byte in
// it so the replies exercise the stuffing.
inline Bytes TestBlockData(uint8_t type, uint8_t sv, size_t length)
{
    Bytes d(length);
    for (size_t i = 0; i < length; ++i)
        d[i] = static_cast<uint8_t>(type * 40 + sv * 3 + i);
    if (length > 2)
        d[2] = 0x10;
    return d;
}

// A file block as the file format lays it out, written out here by hand.
inline Bytes FileBlock(uint8_t type, uint8_t sv, const Bytes& data)
{
    Bytes b = {0x82, type};
    if (type == 1 || type == 2 || type == 6)
        b.push_back(sv);
    b.push_back(static_cast<uint8_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0x83);
    return b;
}
