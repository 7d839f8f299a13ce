// The engine's side of the live links: the link layer's hooks (Tx lamp, lost
// and reopened slots, commands queued), and the transmit queues drained by a
// short timer so that no send waits on the event loop.
#include <QTimer>

#include <array>
#include <cstdio>

#include "link/link_hooks.h"
#include "link/port_table.h"
#include "link/replayed_ports.h"
#include "link/transmit_queue.h"
#include "monitor/monitor.h"
#include "monitor/network_status.h"
#include "notify/receiver_notifier.h"

namespace {

// A full line is tried again after this long: soon enough for a line that
// moves, seldom enough not to spin on a stalled one.
constexpr int kLineFullRetryMs = 20;

// Drops already told, per slot.
std::array<uint32_t, kPortSlots> g_dropsTold{};

// A stalled line's dropped commands are told on stderr, once per growth.
void TellNewDrops()
{
    for (int slot = 0; slot < kPortSlots; ++slot) {
        const uint32_t dropped = DroppedFrames(slot);
        uint32_t& told = g_dropsTold[static_cast<size_t>(slot)];
        // A replayed port refuses every command by design: the Player counts them.
        if (dropped > told && !IsReplayedPort(PortTable[static_cast<size_t>(slot)]))
            std::fprintf(stderr, "jx_monitor: COM%d: the line takes no data; %u commands dropped so far\n", slot + 1,
                         static_cast<unsigned>(dropped));
        told = dropped; // also follows the counts back to 0 after a reset
    }
}

void LightTxLampHook() { Monitor::Instance().LightTx(); }

void PortStateHookTarget(int slot) { Monitor::Instance().PortStateChanged(slot); }

void FrameQueuedTarget(int slot, const uint8_t* message, size_t length)
{
    Receivers().AnnouncePacketOut(slot, message, length);
    // A recording cannot be commanded: the user's command is refused, said in the status line.
    if (!Monitor::Instance().InTick() && slot >= 0 && slot < kPortSlots &&
        IsReplayedPort(PortTable[static_cast<size_t>(slot)]))
        Monitor::Instance().Say(QString("Replay: command not sent to COM%1").arg(slot + 1));
}

void TransmitPendingTarget() { Monitor::Instance().ScheduleTransmit(); }

} // namespace

void ResetDropReports() { g_dropsTold = {}; }

void Monitor::InstallLinkHooks()
{
    if (!transmit_) {
        transmit_ = new QTimer(this);
        transmit_->setObjectName("Timer_Transmit");
        transmit_->setSingleShot(true);
        transmit_->setTimerType(Qt::PreciseTimer);
        connect(transmit_, &QTimer::timeout, this, &Monitor::TransmitTimer);
    }
    LinkHookSet& hooks = LinkHooks();
    hooks.transmitLamp = &LightTxLampHook;
    hooks.portState = &PortStateHookTarget;
    hooks.transmitPending = &TransmitPendingTarget;
    hooks.frameQueued = &FrameQueuedTarget;
}

void Monitor::ScheduleTransmit()
{
    if (!transmit_->isActive())
        TransmitTimer();
}

void Monitor::TransmitTimer()
{
    const int next = DrainTransmitQueues();
    TellNewDrops();
    if (next >= 0)
        transmit_->start(next == 0 ? kLineFullRetryMs : next);
}

void Monitor::PortStateChanged(int slot)
{
    NoteLinkChange(slot);
    emit portPanelsChanged();
    const PortRecord& port = PortTable[static_cast<size_t>(slot)];
    if (slot + 1 == DisplayPort && port.lost)
        emit serialLineChanged(QString("COM%1: device lost").arg(DisplayPort), true);
    emit Receivers().portStateChanged(slot);
}
