#include "display/product.h"

#include "display/form_product.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"

namespace {

void ShowVersions(const Report45& report)
{
    if (!Form_Product)
        return;
    Form_Product->ShowVersions(VersionText(report.navigation), VersionDateText(report.navigation),
                               VersionText(report.signal), VersionDateText(report.signal));
}

} // namespace

// Called for the display port only.
void DecodeReport_45(PortRecord& port)
{
    Report45 report;
    if (!ParseReport45(port.data, port.length, report))
        return;
    PortReportRecord& reports = PortReports[static_cast<size_t>(port.slot)];
    reports.navigation = report.navigation;
    reports.signal = report.signal;
    ShowVersions(report);
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
