// Status reports read by a packet codec parse function: a packet the parse
// refuses (another length) changes nothing; one it reads is stored for its
// port, then shown in display's windows if the port is the display port.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/port_reports.h"
#include "monitor/report_decode.h"

inline PortReportRecord& ReportsOf(const PortRecord& port) { return PortReports[static_cast<size_t>(port.slot)]; }

// True when the packet was read and stored.
template <class Report>
bool ParseStoreThenShow(PortRecord& port, bool (*parse)(const uint8_t*, size_t, Report&),
                        void (*store)(PortRecord&, const Report&), void (*show)(const Report&))
{
    Report report;
    if (!parse(port.data, port.length, report))
        return false;
    StoreThenShow(port, report, store, show);
    return true;
}
