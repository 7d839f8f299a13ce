#include "link/framing.h"

#include "link/link_hooks.h"
#include "link/transmit_queue.h"

uint8_t PacketWaitDone = 0;

int32_t ParseRxByte(PortRecord& port)
{
    const uint8_t b = port.readBuffer[port.readPos];
    ++port.readPos;
    --port.bytesLeft;

    // A frame that never ends must not run past the data buffer: start over
    // as an id-0 packet, which no decoder handles.
    if (port.collectLen >= kPacketDataSize) {
        port.collectLen = 0;
        port.id = 0;
        port.dlePending = 0;
    }

    if (!port.dlePending) {
        if (b == DLE) {
            port.dlePending = 1;
            return 0;
        }
        port.data[port.collectLen++] = b;
        return 0;
    }

    port.dlePending = 0;
    if (b == DLE) {
        port.data[port.collectLen++] = DLE;
        return 0;
    }
    if (b == ETX) {
        port.length = static_cast<uint32_t>(port.collectLen);
        port.collectLen = 0;
        return 1;
    }
    // DLE followed by anything else starts a packet; bytes collected since
    // the last packet (line noise between frames) are thrown away here.
    port.collectLen = 0;
    port.id = b;
    return 0;
}

namespace {

// Parses what the last read left in readBuffer. False when a stop-on-flag wait ended it.
bool ParseReadBuffer(PortRecord& port, PacketHandler handler, uint8_t stopOnFlag)
{
    while (port.bytesLeft > 0) {
        if (stopOnFlag && PacketWaitDone)
            return false;
        if (!ParseRxByte(port))
            continue;
        ++port.traffic.packets;
        port.traffic.quietMs = 0;
        if (handler)
            handler(port);
    }
    return true;
}

} // namespace

int PollPort(PortRecord& port, PacketHandler handler, uint8_t stopOnFlag)
{
    if (!port.handle || MarkLostIfGone(port))
        return 0;
    // A read returns at most a buffer (a tty even less): read until nothing is
    // queued, but at most kPollCapBytes, so that one fast port cannot starve the others.
    uint32_t taken = 0;
    while (taken < kPollCapBytes && port.handle) {
        if (port.handle->QueuedInputBytes() <= 0) {
            MarkLostIfGone(port);
            break;
        }
        const long got = port.handle->Read(port.readBuffer, sizeof port.readBuffer);
        if (got < 0 && MarkLostIfGone(port))
            break;
        port.bytesLeft = got > 0 ? static_cast<uint32_t>(got) : 0;
        port.readPos = 0;
        port.traffic.bytes += port.bytesLeft;
        taken += port.bytesLeft;
        const bool finished = ParseReadBuffer(port, handler, stopOnFlag);
        // Bytes of this read that a stop-on-flag wait did not parse are dropped:
        // the next read overwrites the buffer and bytesLeft.
        port.readPos = 0;
        if (!finished || got <= 0 || !port.open)
            break;
    }
    return 0;
}

size_t BuildFrame(const uint8_t* message, size_t count, uint8_t* out)
{
    size_t n = 0;
    out[n++] = DLE;
    for (size_t i = 0; i < count; ++i) {
        if (message[i] == DLE)
            out[n++] = DLE;
        out[n++] = message[i];
    }
    out[n++] = DLE;
    out[n++] = ETX;
    return n;
}

int SendFrame(int count, const uint8_t* message, PortRecord& port)
{
    if (count < 0 || static_cast<size_t>(count) > kMaxMessageBytes || !port.handle)
        return 0;
    uint8_t frame[kMaxFrameBytes];
    const size_t n = BuildFrame(message, static_cast<size_t>(count), frame);
    const int slot = static_cast<int>(&port - PortTable.data());
    QueueFrame(slot, frame, n);
    if (LinkHooks().frameQueued)
        LinkHooks().frameQueued(slot, message, static_cast<size_t>(count));
    return 0;
}
