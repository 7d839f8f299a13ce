// The engine's commands on the set of open ports: open, find, break and
// close all, a port's panel clicked, a new display port.
#include <algorithm>

#include "link/commands.h"
#include "link/port_table.h"
#include "monitor/monitor.h"
#include "notify/receiver_notifier.h"
#include "platform/port_enumeration.h"

namespace {

PortRecord& Slot(int slot) { return PortTable[static_cast<size_t>(slot)]; }

int ListedCount() { return PortCount < 0 ? 0 : std::min<int>(PortCount, kPortSlots); }

// The settings a display port's window shows, asked for when it becomes the display port.
void AskDisplaySettings(int slot)
{
    RequestDgpsMode(slot);
    RequestIoOptions(slot);
    RequestDatum(slot);
    RequestTime(slot);
}

} // namespace

bool Monitor::OpenPortOn(int com, const std::string& device, OpenError& error)
{
    if (com < 1 || com > kPortSlots) {
        error = OpenError{OpenFailure::Missing, "No such COM number"};
        return false;
    }
    InstallLinkHooks();
    PortRecord& port = Slot(com - 1);
    if (port.open || port.lost)
        ClosePort(port);
    SetComDevice(com, device);
    if (OpenSlot(com - 1, error) != 0)
        return false;
    port.monitored = 1;
    emit portPanelsChanged();
    return true;
}

void Monitor::OpenAll()
{
    for (int i = 0; i < ListedCount(); ++i) {
        const int slot = PortList[static_cast<size_t>(i)] - 1;
        if (slot < 0 || slot >= kPortSlots)
            continue;
        if (!Slot(slot).open) // an open port is left open as it is
            OpenSlot(slot);
        if (Slot(slot).open)
            Slot(slot).monitored = 1;
    }
    emit portPanelsChanged();
}

void Monitor::FindAll()
{
    OpenAll();
    QuietCloseCountdown = 2;
}

void Monitor::BreakAll()
{
    for (PortRecord& port : PortTable)
        if (port.open)
            port.searchStep = 7;
}

void Monitor::CloseUnlessDisplay(int slot)
{
    PortRecord& port = Slot(slot);
    port.monitored = 0;
    if (slot + 1 != DisplayPort)
        ClosePort(port);
}

void Monitor::CloseAll()
{
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (Slot(slot).open || Slot(slot).lost)
            CloseUnlessDisplay(slot);
    emit portPanelsChanged();
}

void Monitor::CloseQuiet()
{
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (Slot(slot).open && !Slot(slot).activeLastPeriod)
            CloseUnlessDisplay(slot);
    emit portPanelsChanged();
}

void Monitor::CloseEveryPort()
{
    for (PortRecord& port : PortTable)
        if (port.open || port.lost)
            ClosePort(port);
    emit portPanelsChanged();
}

bool Monitor::TogglePort(int slot, OpenError& error)
{
    if (slot < 0 || slot >= kPortSlots)
        return true;
    PortRecord& port = Slot(slot);
    bool opened = true;
    if (port.lost && slot + 1 != DisplayPort) {
        ClosePort(port); // the user gives up waiting for the device
    } else if (port.open) {
        port.monitored = !port.monitored;
        if (!port.monitored && slot + 1 != DisplayPort)
            ClosePort(port);
    } else if (OpenSlot(slot, error) == 0) {
        port.monitored = 1;
    } else {
        opened = false;
    }
    emit portPanelsChanged();
    return opened;
}

bool Monitor::ChangeDisplayPort(int com, OpenError& error)
{
    if (com < 1 || com > kPortSlots)
        return true;
    const int slot = com - 1;
    const bool opened = Slot(slot).open || OpenSlot(slot, error) == 0;
    silentTicks_ = 0;
    if (displayStale_) {
        displayStale_ = false;
        emit displayStaleChanged(false);
    }
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        PortRecord& old = Slot(DisplayPort - 1);
        if ((old.open || old.lost) && !old.monitored)
            ClosePort(old);
    }
    DisplayPort = com;
    emit Receivers().portStateChanged(slot); // the views show the new display port
    AskDisplaySettings(slot);
    return opened;
}
