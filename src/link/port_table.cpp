#include "link/port_table.h"

#include <algorithm>
#include <cstdio>

#include "link/shared_flags.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"

std::array<PortRecord, kPortSlots> PortTable;
int32_t DisplayPort = 0;
std::array<int32_t, kPortSlots> PortList = {};
int32_t PortCount = -1;
std::array<LineCodes, kPortSlots> PortLineCodes = {};
int32_t QuietCloseCountdown = 0;
SharedFlags Flags;

int OpenPort(PortRecord& port, const std::string& deviceName, int slot)
{
    port.readPos = 0;
    port.collectLen = 0;
    port.bytesLeft = 0;
    port.length = 0;
    port.dlePending = 0;
    port.monitored = 0;
    port.activeLastPeriod = 0;
    port.packetSeen = 0;

    port.handle = OpenSerialDevice(deviceName);
    if (!port.handle) {
        port.open = 0;
        return -1;
    }
    // Configuration failures after a successful open are ignored: the port counts as open.
    port.handle->Purge();
    SetLineSettings(port.handle.get(), 9600, 8, 1, 0);
    port.open = 1;
    port.slot = slot;
    return 0;
}

bool ProbePort(int slot)
{
    const std::string path = ComDevicePath(slot + 1);
    if (path.empty())
        return false;
    // Probing a network port would connect and hang up at once: the slot's
    // own connection is what holds it, as the exclusive open holds a device.
    if (IsNetworkPath(path))
        return !PortTable[static_cast<size_t>(slot)].open && ParseNetworkUrl(path).has_value();
    return OpenSerialDevice(path) != nullptr;
}

int OpenSlot(int slot)
{
    if (slot < 0 || slot >= kPortSlots || !ProbePort(slot))
        return -1;
    if (OpenPort(PortTable[static_cast<size_t>(slot)], ComDevicePath(slot + 1), slot) != 0)
        return -1;
    PortTable[static_cast<size_t>(slot)].searchStep = 9;
    return 0;
}

void ClosePort(PortRecord& port)
{
    port.open = 0;
    port.monitored = 0;
    port.activeLastPeriod = 0;
    port.packetSeen = 0;
    if (!port.handle)
        return;
    port.handle->QueuedInputBytes();
    port.handle->ClearBreak();
    port.handle->Purge();
    port.handle.reset();
}

int SetLineSettings(SerialDevice* handle, int baud, int dataBits, int parity, int stopBits)
{
    if (!handle)
        return -1;
    return handle->SetLineSettings(LineSettings{baud, dataBits, parity, stopBits}) ? 0 : -1;
}

int ReadPortList(std::array<int32_t, kPortSlots>& list, int maxCom)
{
    int count = 0;
    for (const std::string& name : SerialPortNames()) {
        int number = 0;
        if (name.size() < 4 || std::sscanf(name.c_str() + 3, "%d", &number) != 1)
            continue;
        if (number > maxCom || number < 1 || count >= kPortSlots)
            continue;
        list[static_cast<size_t>(count++)] = number;
    }
    std::sort(list.begin(), list.begin() + count);
    return count > 0 ? count : -1;
}

void ResetLinkState()
{
    for (int i = 0; i < kPortSlots; ++i) {
        PortRecord& port = PortTable[static_cast<size_t>(i)];
        ClosePort(port);
        port.readPos = port.collectLen = 0;
        port.bytesLeft = port.length = 0;
        port.dlePending = 0;
        port.slot = 0;
        port.searchStep = 0;
        port.id = 0;
    }
    DisplayPort = 0;
    PortList.fill(0);
    PortCount = -1;
    PortLineCodes.fill(LineCodes{});
    QuietCloseCountdown = 0;
    Flags = SharedFlags{};
}
