// The shape every per-port decoder shares: what a report brings is stored
// for its port first, and only the display port's reports reach display's own
// windows; the decoder then announces it for every other window.
#pragma once

#include "link/port_table.h"

inline bool IsDisplayPort(const PortRecord& port) { return port.slot + 1 == DisplayPort; }

// Stores the values of one report for the port, then shows them (show may be
// null) if the port is the display port.
template <class Values>
void StoreThenShow(PortRecord& port, const Values& values, void (*store)(PortRecord&, const Values&),
                   void (*show)(const Values&))
{
    store(port, values);
    if (show && IsDisplayPort(port))
        show(values);
}
