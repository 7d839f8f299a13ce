// The shape every report decoder of the status display shares: a packet of
// any other length changes nothing; the values of every decoded port are
// kept in its PortReports; only the display port's values reach the screen.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/port_reports.h"
#include "link/port_table.h"

inline bool IsDisplayPort(const PortRecord& port) { return port.slot + 1 == DisplayPort; }

template <class Report>
using ReportParser = bool (*)(const uint8_t* data, size_t length, Report& out);
template <class Report>
using ReportKeeper = void (*)(PortReportRecord& reports, const Report& report);
template <class Report>
using ReportShower = void (*)(const Report& report, int slot);

// Parses the packet; when it parses, keeps its values for the port (keep may
// be null for reports that are only shown) and shows them if the port is the
// display port.
template <class Report>
void DecodeReport(const PortRecord& port, ReportParser<Report> parse, ReportKeeper<Report> keep,
                  ReportShower<Report> show)
{
    if (port.slot < 0 || port.slot >= kPortSlots)
        return;
    Report report;
    if (!parse(port.data, port.length, report))
        return;
    if (keep)
        keep(PortReports[static_cast<size_t>(port.slot)], report);
    if (IsDisplayPort(port))
        show(report, port.slot);
}
