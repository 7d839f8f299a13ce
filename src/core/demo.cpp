#include "core/demo.h"

#include <algorithm>
#include <memory>

#include "core/main_window.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "sim/demo.h"

namespace {

std::unique_ptr<DemoReceivers>& Receivers()
{
    static std::unique_ptr<DemoReceivers> receivers;
    return receivers;
}

} // namespace

bool StartDemo(std::vector<std::string>& args, std::string* message)
{
    auto receivers = std::make_unique<DemoReceivers>();
    if (!receivers->Start(kDemoReceivers, message))
        return false;
    const std::vector<std::string>& paths = receivers->DevicePaths();
    for (size_t i = 0; i < paths.size(); ++i)
        SetComDevice(static_cast<int>(i) + 1, paths[i]);
    Receivers() = std::move(receivers);
    // After the user's arguments: a -cN given on the command line (-c3 shows
    // the timing receiver) counts first.
    args.insert(args.end(), {"-c1", "-m"});
    return true;
}

void MonitorDemoReceivers()
{
    if (!Receivers() || !Form_Main)
        return;
    for (int slot = 1; slot < kDemoReceivers; ++slot)
        if (OpenSlot(slot) == 0)
            PortTable[static_cast<size_t>(slot)].monitored = 1;
    Form_Main->RefreshMonitorPanels();
}

bool IsDemoDevice(const std::string& path)
{
    if (!Receivers())
        return false;
    const std::vector<std::string>& paths = Receivers()->DevicePaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

void StopDemo()
{
    if (Receivers())
        Receivers()->Stop();
    Receivers().reset();
}
