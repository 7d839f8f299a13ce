#include "monitor/health.h"

#include <algorithm>

#include "monitor/parsed_report.h"
#include "notify/receiver_notifier.h"

namespace {

void KeepHealth(PortRecord& port, const Report46& report)
{
    PortReportRecord& reports = ReportsOf(port);
    reports.healthCode = report.statusCode;
    reports.healthErrors = report.errorBits;
}

void KeepStatus(PortRecord& port, const Report4B& report) { ReportsOf(port).statusFlags = report.statusBits; }

// The record holds the first 8 satellites of a longer list.
void KeepFix(PortRecord& port, const Report6D& report)
{
    PortReportRecord& reports = ReportsOf(port);
    reports.fixSvs = {};
    const size_t kept = std::min<size_t>(report.prnCount, reports.fixSvs.size());
    for (size_t i = 0; i < kept; ++i)
        reports.fixSvs[i] = report.prns[i];
    reports.fixMode = report.fixModeBits;
    reports.pdop = report.pdop;
    reports.hdop = report.hdop;
    reports.vdop = report.vdop;
    reports.tdop = report.tdop;
    reports.fix = report;
}

void KeepDgps(PortRecord& port, const Report82& report) { ReportsOf(port).dgpsMode = report.dgpsMode; }

// The windows tell the four status reports apart by the id kept with them.
void AnnounceStatus(const PortRecord& port, uint8_t id)
{
    ReportsOf(port).statusId = id;
    emit Receivers().statusChanged(port.slot);
}

} // namespace

void DecodeReport_46(PortRecord& port)
{
    if (ParseStoreThenShow<Report46>(port, &ParseReport46, &KeepHealth, nullptr))
        AnnounceStatus(port, 0x46);
}

void DecodeReport_4B(PortRecord& port)
{
    if (ParseStoreThenShow<Report4B>(port, &ParseReport4B, &KeepStatus, nullptr))
        AnnounceStatus(port, 0x4B);
}

void DecodeReport_6D(PortRecord& port)
{
    if (!ParseStoreThenShow<Report6D>(port, &ParseReport6D, &KeepFix, nullptr))
        return;
    AnnounceStatus(port, 0x6D);
    emit Receivers().fixSatellitesChanged(port.slot);
}

void DecodeReport_82(PortRecord& port)
{
    if (ParseStoreThenShow<Report82>(port, &ParseReport82, &KeepDgps, nullptr))
        AnnounceStatus(port, 0x82);
}

QString DopText(float dop) { return QString::asprintf("%.1f", static_cast<double>(dop)); }

QString SvSelectionText(const Report6D& report)
{
    QString text;
    for (size_t i = 0; i < report.prnCount && i < report.prns.size(); ++i)
        text += QString::asprintf("%4d", report.prns[i]);
    return text;
}

bool IsFixSatellite(const PortReportRecord& reports, int32_t prn)
{
    return std::find(reports.fixSvs.begin(), reports.fixSvs.end(), prn) != reports.fixSvs.end();
}

void ClearFixSatellites()
{
    for (PortReportRecord& reports : PortReports)
        reports.fixSvs = {};
}
