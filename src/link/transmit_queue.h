// Per-port transmit queues. Commands to one port keep their order and at
// least Pacing().sendPauseMs between them; ports send side by side; writes never
// block, and a frame the line took only in part is finished before the next
// one starts. A queue that cannot drain (stalled line) drops new frames and
// counts them.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

using TransmitClock = std::chrono::steady_clock;

// Frames one port holds before new ones are dropped.
constexpr size_t kTransmitQueueFrames = 64;

// How the queues space the commands of one port.
struct TransmitPacing {
    // Least time between the end of one command's write and the next on the same port, ms.
    int sendPauseMs = 10;
    // Where the queues take the time from; tests may replace it.
    TransmitClock::time_point (*now)() = &TransmitClock::now;
};
// The pacing of every port; ResetTransmitQueues restores the defaults.
TransmitPacing& Pacing();

// Queues one framed command for the slot and writes at once what is due.
void QueueFrame(int slot, const uint8_t* frame, size_t count);
// Writes what is due on every port. Returns the milliseconds until the next
// frame falls due, 0 when a line is full and must be retried, -1 when no queue
// waits on time (all empty, or waiting for their connection).
int DrainTransmitQueues();
// Writes the slot's queued frames now, ignoring the spacing (before a line change).
void FlushTransmitQueue(int slot);
// Frames waiting (including one partly written) and frames dropped on the slot.
size_t QueuedFrames(int slot);
uint32_t DroppedFrames(int slot);
// Forgets the slot's frames (its port closed or was lost).
void ClearTransmitQueue(int slot);
// Empties every queue, zeroes the drop counts, and restores the pacing defaults.
void ResetTransmitQueues();
