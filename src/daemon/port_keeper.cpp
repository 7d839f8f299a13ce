#include "daemon/port_keeper.h"

#include <ostream>

#include "monitor/monitor.h"
#include "platform/port_enumeration.h"

PortKeeper::PortKeeper(Monitor& engine, std::ostream& journal, int retryMs, QObject* parent)
    : QObject(parent), engine_(engine), journal_(journal)
{
    retry_.setInterval(retryMs);
    connect(&retry_, &QTimer::timeout, this, &PortKeeper::OpenMappedPorts);
    retry_.start();
}

void PortKeeper::OpenMappedPorts()
{
    for (const ComMapping& mapping : CurrentComMapping()) {
        const size_t slot = static_cast<size_t>(mapping.com - 1);
        const PortRecord& port = PortTable[slot];
        if (port.open || port.lost)
            continue;
        OpenError error;
        if (engine_.OpenPortOn(mapping.com, mapping.path, error)) {
            if (!told_[slot].empty())
                journal_ << "<5>COM" << mapping.com << " (" << mapping.path << "): opened" << std::endl;
            told_[slot].clear();
            continue;
        }
        const std::string reason = error.reason.empty() ? "cannot be opened" : error.reason;
        if (reason != told_[slot])
            journal_ << "<4>COM" << mapping.com << " (" << mapping.path << "): " << reason << "; trying again"
                     << std::endl;
        told_[slot] = reason;
    }
}
