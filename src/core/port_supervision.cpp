// The main window's side of the live links: lost and reopened slots shown on
// the port panels and the serial caption, and the transmit queues drained by
// a short timer so that no send waits on the GUI thread.
#include <QTimer>

#include "core/main_window.h"
#include "core/network_status.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "link/transmit_queue.h"

namespace {

// A full line is tried again after this long.
constexpr int kLineFullRetryMs = 2;

void LightTxLampHook()
{
    if (Form_Main)
        Form_Main->Shape_TxLED->setFill(Colours::Lime);
}

void PortStateHookTarget(int slot)
{
    if (Form_Main)
        Form_Main->PortStateChanged(slot);
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
    TransmitLampHook = &LightTxLampHook;
    PortStateHook = &PortStateHookTarget;
    TransmitPendingHook = &TransmitPendingTarget;
}

void TForm_Main::RemoveLinkHooks()
{
    if (TransmitLampHook == &LightTxLampHook)
        TransmitLampHook = nullptr;
    if (PortStateHook == &PortStateHookTarget)
        PortStateHook = nullptr;
    if (TransmitPendingHook == &TransmitPendingTarget)
        TransmitPendingHook = nullptr;
}

void TForm_Main::ScheduleTransmit()
{
    if (Timer_Transmit && !Timer_Transmit->isActive())
        TransmitTimer();
}

void TForm_Main::TransmitTimer()
{
    const int next = DrainTransmitQueues();
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
