#include "transfer/reply_wait.h"

#include <QCoreApplication>
#include <thread>

#include "link/framing.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "link/transmit_queue.h"
#include "transfer/transfer_notifier.h"

int32_t LastReplyOperation = 0;

namespace {

// The longest system data report on the line: DLE, 0x58, four header bytes,
// 255 data bytes, DLE ETX.
constexpr int kLongestReplyBytes = 263;

// Time the line needs for the bytes: start bit, data bits, parity, stop bits each.
std::chrono::milliseconds LineTime(int slot, int bytes)
{
    const LineCodes& codes = PortLineCodes[static_cast<size_t>(slot)];
    const int baud = BaudRate(codes.baud);
    if (baud <= 0)
        return std::chrono::milliseconds{0};
    const int bits = 1 + std::max(DataBitsValue(codes.dataBits), 5) + (ParityValue(codes.parity) != 0 ? 1 : 0) +
                     (StopBitsValue(codes.stopBits) == 2 ? 2 : 1);
    return std::chrono::milliseconds{1000LL * bytes * bits / baud + 1};
}

void RepaintAndSleep(std::chrono::milliseconds interval)
{
    // Paint and timer events only: a click cannot start another command
    // in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::this_thread::sleep_for(interval);
}

ReplyWaitTiming DefaultTiming()
{
    ReplyWaitTiming t;
    t.now = [] { return ReplyWaitTiming::Clock::now(); };
    t.pause = &RepaintAndSleep;
    return t;
}

ReplyWaitTiming g_timing = DefaultTiming();

// What the packet handler is waiting for, and what it found.
struct Awaited {
    uint8_t type = 0;
    uint8_t sv = 0;
    Report58 reply;
};
Awaited g_awaited;

// Only the awaited report stops the read: a report for another SV that
// shares a read with the right one must not push the right one out.
void WaitHandler(PortRecord& port)
{
    emit TransferEvents().packetReceived();
    if (port.id != 0x58)
        return;
    Report58 r;
    if (!ParseReport58(port.data, port.length, r) || r.dataType != g_awaited.type || r.sv != g_awaited.sv)
        return;
    g_awaited.reply = r;
    PacketWaitDone = 1;
}

} // namespace

ReplyWaitTiming& ReplyWait() { return g_timing; }

void ResetReplyWait()
{
    g_timing = DefaultTiming();
    LastReplyOperation = 0;
    PacketWaitDone = 0;
}

std::chrono::milliseconds ReplyLimit(int slot)
{
    if (slot < 0 || slot >= kPortSlots)
        return g_timing.limit;
    return std::max(g_timing.limit, 3 * LineTime(slot, kLongestReplyBytes));
}

std::optional<Report58> WaitForSystemDataReply(uint8_t dataType, uint8_t sv)
{
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return std::nullopt;
    const int slot = DisplayPort - 1;
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    g_awaited = Awaited{dataType, sv, {}};
    const auto limit = ReplyLimit(slot);
    const auto start = g_timing.now();
    auto deadline = start + limit;
    for (;;) {
        DrainTransmitQueues(); // the request may still wait for its turn on the line
        // A reply still coming in on a busy line gets the time to finish.
        if (port.handle && port.handle->QueuedInputBytes() > 0)
            deadline = std::min(std::max(deadline, g_timing.now() + LineTime(slot, kLongestReplyBytes)),
                                start + 2 * limit);
        PollPort(port, &WaitHandler, 1);
        if (PacketWaitDone) {
            PacketWaitDone = 0;
            LastReplyOperation = g_awaited.reply.operation;
            return g_awaited.reply;
        }
        if (g_timing.now() >= deadline)
            return std::nullopt;
        g_timing.pause(g_timing.pollInterval);
    }
}
