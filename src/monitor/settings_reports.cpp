#include "monitor/settings_reports.h"

#include "link/packets.h"
#include "model/port_settings.h"
#include "notify/receiver_notifier.h"

namespace {

template <class Report>
using Parser = bool (*)(const uint8_t*, size_t, Report&);

// Parses the report (a packet of another length is ignored), stores it for
// the port and announces it.
template <class Report>
void StoreReport(const PortRecord& port, Parser<Report> parse, Received<Report> PortSettingsRecord::*field,
                 SettingsKind kind)
{
    Report report;
    if (!parse(port.data, port.length, report))
        return;
    StoreSetting(port.slot, field, report);
    emit Receivers().settingsChanged(port.slot, kind);
}

// The serial dialog shows the receiver's port 0 only.
bool ParsePortZeroBC(const uint8_t* data, size_t length, ReportBC& out)
{
    return ParseReportBC(data, length, out) && out.receiverPort == 0;
}

} // namespace

void DecodeReport_55(PortRecord& port)
{
    StoreReport(port, &ParseReport55, &PortSettingsRecord::ioOptions, SettingsKind::IoOptions);
}

void DecodeReport_8F15(PortRecord& port)
{
    StoreReport(port, &ParseReport8F15, &PortSettingsRecord::datum, SettingsKind::Datum);
}

void DecodeReport_70(PortRecord& port)
{
    StoreReport(port, &ParseReport70, &PortSettingsRecord::filters, SettingsKind::Filters);
}

void DecodeReport_BB(PortRecord& port)
{
    StoreReport(port, &ParseReportBB, &PortSettingsRecord::gps, SettingsKind::Gps);
}

void DecodeReport_BC(PortRecord& port)
{
    StoreReport(port, &ParsePortZeroBC, &PortSettingsRecord::serial, SettingsKind::Serial);
}
