// The main window's side of the live links: lost and reopened slots shown on
// the port panels and the serial caption, and the transmit queues drained by
// a short timer so that no send waits on the GUI thread.
#include <QTimer>

#include <array>
#include <cstdio>

#include "core/main_window.h"
#include "core/poll_timer.h"
#include "core/network_status.h"
#include "link/line_codes.h"
#include "link/link_hooks.h"
#include "link/port_table.h"
#include "link/replayed_ports.h"
#include "link/framing.h"
#include "link/transmit_queue.h"
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

void LightTxLampHook()
{
    if (Form_Main)
        Form_Main->Shape_TxLED->setFill(Colours::Lime);
}

void PortStateHookTarget(int slot)
{
    if (Form_Main)
        Form_Main->PortStateChanged(slot);
    emit Receivers().portStateChanged(slot);
}

void FrameQueuedTarget(int slot, const uint8_t* message, size_t length)
{
    Receivers().AnnouncePacketOut(slot, message, length);
    // A recording cannot be commanded: the user's command is refused, said in the status line.
    if (Form_Main && !InPollTick() && slot >= 0 && slot < kPortSlots &&
        IsReplayedPort(PortTable[static_cast<size_t>(slot)]))
        Form_Main->Panel_Hint->setCaption(QString("Replay: command not sent to COM%1").arg(slot + 1));
}

void TransmitPendingTarget()
{
    if (Form_Main)
        Form_Main->ScheduleTransmit();
}

} // namespace

void TForm_Main::InstallLinkHooks()
{
    if (!Timer_Transmit) {
        Timer_Transmit = new QTimer(this);
        Timer_Transmit->setObjectName("Timer_Transmit");
        Timer_Transmit->setSingleShot(true);
        Timer_Transmit->setTimerType(Qt::PreciseTimer);
        connect(Timer_Transmit, &QTimer::timeout, this, &TForm_Main::TransmitTimer);
    }
    LinkHookSet& hooks = LinkHooks();
    hooks.transmitLamp = &LightTxLampHook;
    hooks.portState = &PortStateHookTarget;
    hooks.transmitPending = &TransmitPendingTarget;
    hooks.frameQueued = &FrameQueuedTarget;
}

void TForm_Main::RemoveLinkHooks()
{
    LinkHookSet& hooks = LinkHooks();
    if (hooks.transmitLamp == &LightTxLampHook)
        hooks.transmitLamp = nullptr;
    if (hooks.portState == &PortStateHookTarget)
        hooks.portState = nullptr;
    if (hooks.transmitPending == &TransmitPendingTarget)
        hooks.transmitPending = nullptr;
    if (hooks.frameQueued == &FrameQueuedTarget)
        hooks.frameQueued = nullptr;
}

void TForm_Main::ScheduleTransmit()
{
    if (Timer_Transmit && !Timer_Transmit->isActive())
        TransmitTimer();
}

void TForm_Main::TransmitTimer()
{
    const int next = DrainTransmitQueues();
    TellNewDrops();
    if (next >= 0)
        Timer_Transmit->start(next == 0 ? kLineFullRetryMs : next);
}

void TForm_Main::ShowSerialLost(bool lost)
{
    if (lost)
        Panel_Serial->setCaption(QString("COM%1: device lost").arg(DisplayPort));
    Panel_Serial->setTextColour(lost ? Colours::Red : WindowTextColour());
}

void TForm_Main::PortStateChanged(int slot)
{
    NoteLinkChange(slot);
    RefreshMonitorPanels();
    if (slot + 1 != DisplayPort)
        return;
    const PortRecord& port = PortTable[static_cast<size_t>(slot)];
    if (port.lost)
        ShowSerialLost(true);
}
