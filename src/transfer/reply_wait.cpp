#include "transfer/reply_wait.h"

#include <QCoreApplication>
#include <thread>

#include "core/main_window.h"
#include "link/framing.h"
#include "link/port_table.h"

int32_t LastReplyOperation = 0;

namespace {

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
    if (Form_Main && Form_Main->Shape_RxLED)
        Form_Main->Shape_RxLED->setFill(Colours::Lime);
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

std::optional<Report58> WaitForSystemDataReply(uint8_t dataType, uint8_t sv)
{
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return std::nullopt;
    PortRecord& port = PortTable[static_cast<size_t>(DisplayPort - 1)];
    g_awaited = Awaited{dataType, sv, {}};
    const auto deadline = g_timing.now() + g_timing.limit;
    for (;;) {
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
