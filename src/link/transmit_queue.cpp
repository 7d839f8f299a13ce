#include "link/transmit_queue.h"

#include <algorithm>
#include <array>
#include <deque>
#include <vector>

#include "link/link_hooks.h"
#include "link/port_table.h"

TransmitPacing& Pacing()
{
    static TransmitPacing pacing;
    return pacing;
}

namespace {

struct PortQueue {
    std::deque<std::vector<uint8_t>> frames;
    size_t offset = 0;                    // bytes of the front frame already written
    TransmitClock::time_point nextStart{}; // the next frame may not start before this
    uint32_t dropped = 0;
};

std::array<PortQueue, kPortSlots> g_queues;

bool IsConnecting(const PortRecord& port)
{
    return port.open && port.handle && port.handle->State() == DeviceState::Connecting;
}

void LightTx()
{
    if (LinkHooks().transmitLamp)
        LinkHooks().transmitLamp();
}

// Writes the front frame's rest. Returns false when the line took less than all of it.
bool WriteFront(PortRecord& port, PortQueue& q)
{
    const std::vector<uint8_t>& frame = q.frames.front();
    const long n = port.handle->Write(frame.data() + q.offset, frame.size() - q.offset);
    if (n < 0) {
        if (MarkLostIfGone(port))
            return false;
        ++q.dropped; // a refused write that left the device usable: this frame is lost
        q.frames.pop_front();
        q.offset = 0;
        return true;
    }
    if (n > 0 && q.offset == 0)
        LightTx();
    q.offset += static_cast<size_t>(n);
    if (q.offset < frame.size())
        return false;
    q.frames.pop_front();
    q.offset = 0;
    return true;
}

// Writes what is due on one slot; ignoreSpacing for a flush before a line change.
void DrainSlot(size_t slot, TransmitClock::time_point now, bool ignoreSpacing)
{
    PortQueue& q = g_queues[slot];
    PortRecord& port = PortTable[slot];
    while (!q.frames.empty()) {
        if (!port.open || !port.handle) {
            q.frames.clear();
            q.offset = 0;
            return;
        }
        if (MarkLostIfGone(port) || IsConnecting(port))
            return; // a connecting device: the queue waits
        if (q.offset == 0 && now < q.nextStart && !ignoreSpacing)
            return;
        if (!WriteFront(port, q))
            return;
        q.nextStart = now + std::chrono::milliseconds(Pacing().sendPauseMs);
    }
}

} // namespace

void QueueFrame(int slot, const uint8_t* frame, size_t count)
{
    if (slot < 0 || slot >= kPortSlots)
        return;
    PortQueue& q = g_queues[static_cast<size_t>(slot)];
    if (q.frames.size() >= kTransmitQueueFrames) {
        ++q.dropped;
        return;
    }
    q.frames.emplace_back(frame, frame + count);
    DrainSlot(static_cast<size_t>(slot), Pacing().now(), false);
    if (!q.frames.empty() && LinkHooks().transmitPending)
        LinkHooks().transmitPending();
}

int DrainTransmitQueues()
{
    const TransmitClock::time_point now = Pacing().now();
    int next = -1;
    for (size_t slot = 0; slot < g_queues.size(); ++slot) {
        DrainSlot(slot, now, false);
        const PortQueue& q = g_queues[slot];
        // A connecting line is drained once it is connected, not polled meanwhile.
        if (q.frames.empty() || IsConnecting(PortTable[slot]))
            continue;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(q.nextStart - now).count();
        const int due = q.offset > 0 ? 0 : static_cast<int>(std::max<long long>(wait, 0));
        next = next < 0 ? due : std::min(next, due);
    }
    return next;
}

void FlushTransmitQueue(int slot)
{
    if (slot >= 0 && slot < kPortSlots)
        DrainSlot(static_cast<size_t>(slot), Pacing().now(), true);
}

size_t QueuedFrames(int slot)
{
    return slot >= 0 && slot < kPortSlots ? g_queues[static_cast<size_t>(slot)].frames.size() : 0;
}

uint32_t DroppedFrames(int slot)
{
    return slot >= 0 && slot < kPortSlots ? g_queues[static_cast<size_t>(slot)].dropped : 0;
}

void ClearTransmitQueue(int slot)
{
    if (slot < 0 || slot >= kPortSlots)
        return;
    PortQueue& q = g_queues[static_cast<size_t>(slot)];
    q.frames.clear();
    q.offset = 0;
}

void ResetTransmitQueues()
{
    g_queues = {};
    Pacing() = TransmitPacing{};
}
