#include "link/replayed_ports.h"

#include "platform/device_openers.h"
#include "platform/port_enumeration.h"

bool LogReplayedPorts = false;

bool IsReplayedPort(const PortRecord& port)
{
    const int slot = static_cast<int>(&port - PortTable.data());
    return slot >= 0 && slot < kPortSlots && (port.open || port.lost) && IsReplayPath(ComDevicePath(slot + 1));
}

bool LoggedPort(const PortRecord& port) { return port.monitored && (LogReplayedPorts || !IsReplayedPort(port)); }
