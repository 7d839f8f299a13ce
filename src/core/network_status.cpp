#include "core/network_status.h"

#include <array>

#include "core/main_window.h"
#include "link/port_table.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"

namespace {

struct Shown {
    const SerialDevice* device = nullptr;
    DeviceState state = DeviceState::Ready;
};
std::array<Shown, kPortSlots> g_shown;

QString StateText(int com, const std::string& url, const SerialDevice& device, bool wasConnecting)
{
    const QString where = QString::fromStdString(url);
    switch (device.State()) {
    case DeviceState::Connecting:
        return QString("COM%1 connecting to %2").arg(com).arg(where);
    case DeviceState::Ready:
        return wasConnecting ? QString("COM%1 connected to %2").arg(com).arg(where) : QString();
    case DeviceState::Gone:
        return QString("COM%1: %2").arg(com).arg(QString::fromStdString(device.GoneReason()));
    }
    return {};
}

} // namespace

void ReportConnectionState(int slot)
{
    const PortRecord& port = PortTable[static_cast<size_t>(slot)];
    const std::string url = ComDevicePath(slot + 1);
    if (!port.handle || !Form_Main || !IsNetworkPath(url))
        return;
    Shown& shown = g_shown[static_cast<size_t>(slot)];
    const bool fresh = shown.device != port.handle.get();
    if (!fresh && shown.state == port.handle->State())
        return;
    const bool wasConnecting = fresh || shown.state == DeviceState::Connecting;
    shown = Shown{port.handle.get(), port.handle->State()};
    const QString text = StateText(slot + 1, url, *port.handle, wasConnecting);
    if (!text.isEmpty())
        Form_Main->Panel_Hint->setCaption(text);
}
