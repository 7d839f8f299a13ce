#include "link/port_table.h"

#include <algorithm>
#include <cstdio>

#include "link/line_codes.h"
#include "link/replayed_ports.h"
#include "link/link_hooks.h"
#include "link/shared_flags.h"
#include "link/transmit_queue.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"

std::array<PortRecord, kPortSlots> PortTable;
int32_t DisplayPort = 0;
std::array<int32_t, kPortSlots> PortList = {};
int32_t PortCount = -1;
std::array<LineCodes, kPortSlots> PortLineCodes = {};
int32_t QuietCloseCountdown = 0;
SharedFlags Flags;

namespace {

void ResetReceiveState(PortRecord& port)
{
    port.readPos = 0;
    port.collectLen = 0;
    port.bytesLeft = 0;
    port.length = 0;
    port.dlePending = 0;
}

void TellPortState(int slot)
{
    if (LinkHooks().portState)
        LinkHooks().portState(slot);
}

// Opens the mapped path of a lost slot again, with the line codes it had.
bool ReopenLost(PortRecord& port, int slot)
{
    OpenError error;
    std::unique_ptr<SerialDevice> device = OpenSerialDevice(ComDevicePath(slot + 1), error);
    if (!device)
        return false;
    device->Purge();
    ApplyLineCodes(device.get(), PortLineCodes[static_cast<size_t>(slot)]);
    ResetReceiveState(port);
    port.handle = std::move(device);
    ++port.generation;
    port.open = 1;
    port.lost = 0;
    port.resumed = 1;
    port.slot = slot;
    port.searchStep = 9;
    return true;
}

} // namespace

int OpenPort(PortRecord& port, const std::string& deviceName, int slot)
{
    OpenError error;
    return OpenPort(port, deviceName, slot, error);
}

int OpenPort(PortRecord& port, const std::string& deviceName, int slot, OpenError& error)
{
    ResetReceiveState(port);
    port.monitored = 0;
    port.activeLastPeriod = 0;
    port.packetSeen = 0;
    port.lost = 0;
    port.resumed = 0;

    port.handle = OpenSerialDevice(deviceName, error);
    if (!port.handle) {
        port.open = 0;
        return -1;
    }
    // Configuration failures after a successful open are ignored: the port counts as open.
    port.handle->Purge();
    SetLineSettings(port.handle.get(), 9600, 8, 1, 0);
    ++port.generation;
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
    OpenError error;
    return OpenSlot(slot, error);
}

int OpenSlot(int slot, OpenError& error)
{
    if (slot < 0 || slot >= kPortSlots)
        return -1;
    const std::string path = ComDevicePath(slot + 1);
    if (path.empty()) {
        error = {OpenFailure::Missing, "No device is mapped to this COM number"};
        return -1;
    }
    // Tried first so that a refused open leaves the slot's flags as they were.
    // A network port is held by its own connection: an open one is not opened
    // twice, and a trial connection would only be hung up at once.
    if (IsNetworkPath(path) ? PortTable[static_cast<size_t>(slot)].open != 0 : !OpenSerialDevice(path, error)) {
        if (IsNetworkPath(path))
            error = {OpenFailure::Busy, "Already connected"};
        return -1;
    }
    if (OpenPort(PortTable[static_cast<size_t>(slot)], path, slot, error) != 0)
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
    port.lost = 0;
    port.resumed = 0;
    port.traffic = PortTraffic{};
    if (&port >= PortTable.data() && &port < PortTable.data() + kPortSlots)
        ClearTransmitQueue(static_cast<int>(&port - PortTable.data()));
    if (!port.handle)
        return;
    port.handle->QueuedInputBytes();
    port.handle->ClearBreak();
    port.handle->Purge();
    port.handle.reset();
}

bool MarkLostIfGone(PortRecord& port)
{
    if (port.lost)
        return true;
    if (!port.open || !port.handle || port.handle->State() != DeviceState::Gone)
        return false;
    const int slot = static_cast<int>(&port - PortTable.data());
    port.lostReason = port.handle->GoneReason();
    port.handle.reset();
    port.open = 0;
    port.lost = 1;
    port.activeLastPeriod = 0;
    port.packetSeen = 0;
    port.searchStep = 0;
    port.reopenWaitMs = port.reopenDelayMs;
    ResetReceiveState(port);
    ClearTransmitQueue(slot);
    TellPortState(slot);
    return true;
}

int ReopenLostPorts(int elapsedMs)
{
    int reopened = 0;
    for (int slot = 0; slot < kPortSlots; ++slot) {
        PortRecord& port = PortTable[static_cast<size_t>(slot)];
        if (!port.lost)
            continue;
        port.reopenWaitMs -= elapsedMs;
        if (port.reopenWaitMs > 0)
            continue;
        port.reopenWaitMs = port.reopenDelayMs;
        if (!ReopenLost(port, slot))
            continue;
        ++reopened;
        TellPortState(slot);
    }
    return reopened;
}

void AgePortTraffic(int elapsedMs)
{
    constexpr int32_t kLongQuietMs = 1 << 30; // no overflow for a port quiet for years
    for (PortRecord& port : PortTable)
        if ((port.open || port.lost) && port.traffic.quietMs < kLongQuietMs)
            port.traffic.quietMs += elapsedMs;
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
        port.reopenDelayMs = 1000;
        port.reopenWaitMs = 0;
    }
    ResetTransmitQueues();
    DisplayPort = 0;
    PortList.fill(0);
    PortCount = -1;
    PortLineCodes.fill(LineCodes{});
    QuietCloseCountdown = 0;
    LogReplayedPorts = false;
    Flags = SharedFlags{};
}
