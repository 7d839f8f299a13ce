#include "monitor/product.h"

#include "model/port_reports.h"
#include "notify/receiver_notifier.h"

// Called for the display port only.
void DecodeReport_45(PortRecord& port)
{
    Report45 report;
    if (!ParseReport45(port.data, port.length, report))
        return;
    PortReportRecord& reports = PortReports[static_cast<size_t>(port.slot)];
    reports.navigation = report.navigation;
    reports.signal = report.signal;
    emit Receivers().productChanged(port.slot);
}

QString VersionText(const FirmwareVersion& version)
{
    return QString::asprintf("%d.%d", version.major, version.minor);
}

QString VersionDateText(const FirmwareVersion& version)
{
    return QString::asprintf("%d/%d/%d", version.month, version.day, version.yearSince2000 + 2000);
}
