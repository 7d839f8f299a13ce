#include "monitor/network_status.h"

#include <algorithm>
#include <array>

#include "link/port_table.h"
#include "monitor/monitor.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"

namespace {

constexpr int kFirstRetryMs = 1000;
constexpr int kLongestRetryMs = 5000;

struct Shown {
    uint32_t generation = 0; // the slot's connection last looked at; 0 = none
    DeviceState state = DeviceState::Ready;
};
std::array<Shown, kPortSlots> g_shown;

void Say(const QString& text) { Monitor::Instance().Say(text); }

} // namespace

void ResetNetworkStatus() { g_shown = {}; }

void NoteLinkChange(int slot)
{
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    if (!port.lost || !IsNetworkPath(ComDevicePath(slot + 1)))
        return;
    // Each loss in a row doubles the wait before the next try.
    port.reopenDelayMs = std::min(std::max(port.reopenDelayMs, kFirstRetryMs) * 2, kLongestRetryMs);
    Say(QString("COM%1: %2").arg(slot + 1).arg(QString::fromStdString(port.lostReason)));
}

void FollowConnection(int slot)
{
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    if (!port.handle || port.lost)
        return;
    // Only a new connection or a change of state is worth a look at the mapping: this runs every tick.
    Shown& shown = g_shown[static_cast<size_t>(slot)];
    const DeviceState state = port.handle->State();
    const bool fresh = shown.generation != port.generation;
    if (!fresh && shown.state == state)
        return;
    const bool wasConnecting = fresh || shown.state == DeviceState::Connecting;
    shown = Shown{port.generation, state};
    const std::string url = ComDevicePath(slot + 1);
    if (!IsNetworkPath(url))
        return;
    const QString where = QString::fromStdString(url);
    if (state == DeviceState::Connecting)
        Say(QString("COM%1 connecting to %2").arg(slot + 1).arg(where));
    if (state == DeviceState::Ready && wasConnecting) {
        port.reopenDelayMs = kFirstRetryMs;
        Say(QString("COM%1 connected to %2").arg(slot + 1).arg(where));
        Monitor::Instance().ScheduleTransmit(); // commands queued while connecting go out now
    }
}
