#include "monitor/product.h"

#include "link/gnss_reports.h"
#include "monitor/report_decode.h"
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
    reports.productId = 0x45;
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

// The newer receivers' version reports, for every port: the firmware (0x1C-81)
// and the hardware (0x1C-83) arrive apart and are kept apart. The product
// window keeps showing 0x45's two processors; the status bar's version follows
// whichever report came last.
template <class Report>
void DecodeVersionReport(PortRecord& port, bool (*parse)(const uint8_t*, size_t, Report&), Report PortReportRecord::*field)
{
    Report report;
    if (!parse(port.data, port.length, report))
        return;
    PortReportRecord& reports = PortReports[static_cast<size_t>(port.slot)];
    reports.*field = report;
    reports.productId = kProductFrom1C;
    emit Receivers().productChanged(port.slot);
}

void DecodeReport_1C81(PortRecord& port) { DecodeVersionReport(port, &ParseReport1C81, &PortReportRecord::firmware); }
void DecodeReport_1C83(PortRecord& port) { DecodeVersionReport(port, &ParseReport1C83, &PortReportRecord::hardware); }
