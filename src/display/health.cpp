#include "display/health.h"

#include <algorithm>

#include "display/form_track.h"
#include "display/parsed_report.h"
#include "notify/receiver_notifier.h"

namespace {

void KeepHealth(PortRecord& port, const Report46& report)
{
    PortReportRecord& reports = ReportsOf(port);
    reports.healthCode = report.statusCode;
    reports.healthErrors = report.errorBits;
}

void KeepStatus(PortRecord& port, const Report4B& report) { ReportsOf(port).statusFlags = report.statusBits; }

// The record's fixSvs holds the first 8 satellites of a longer list (the data
// log's columns), fixSatellites the first kTrackChannels.
template <class Prns>
void KeepFixList(PortReportRecord& reports, const Prns& prns, size_t count)
{
    reports.fixSvs = {};
    reports.fixSatellites = {};
    for (size_t i = 0; i < count && i < reports.fixSatellites.size(); ++i) {
        reports.fixSatellites[i] = prns[i];
        if (i < reports.fixSvs.size())
            reports.fixSvs[i] = prns[i];
    }
}

// 0x6D and 0x6C share the fix mode byte and the four DOPs.
template <class Report>
void KeepFixHeader(PortReportRecord& reports, const Report& report)
{
    reports.fixMode = report.fixModeBits;
    reports.pdop = report.pdop;
    reports.hdop = report.hdop;
    reports.vdop = report.vdop;
    reports.tdop = report.tdop;
}

void KeepFix(PortRecord& port, const Report6D& report)
{
    PortReportRecord& reports = ReportsOf(port);
    KeepFixList(reports, report.prns, report.prnCount);
    KeepFixHeader(reports, report);
}

void KeepFixWithCount(PortRecord& port, const Report6C& report)
{
    PortReportRecord& reports = ReportsOf(port);
    KeepFixList(reports, report.prns, report.prnCount);
    KeepFixHeader(reports, report);
}

void ShowFixWithCount(const Report6C& report)
{
    if (!Form_Track)
        return;
    Form_Track->ShowDops(report.pdop, report.hdop, report.vdop, report.tdop);
    QString text;
    for (size_t i = 0; i < report.prnCount; ++i)
        text += QString::asprintf("%4d", report.prns[i]);
    Form_Track->ShowFixSatellites(text);
}

void KeepSatelliteClock(PortRecord& port, const Report54& report) { ReportsOf(port).satelliteClock = report; }

// The tracking window lists every satellite of the fix, also beyond the eighth.
void ShowFix(const Report6D& report)
{
    if (!Form_Track)
        return;
    Form_Track->ShowDops(report.pdop, report.hdop, report.vdop, report.tdop);
    Form_Track->ShowFixSatellites(SvSelectionText(report));
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
    if (!ParseStoreThenShow<Report6D>(port, &ParseReport6D, &KeepFix, &ShowFix))
        return;
    AnnounceStatus(port, 0x6D);
    emit Receivers().fixSatellitesChanged(port.slot);
}

void DecodeReport_6C(PortRecord& port)
{
    if (!ParseStoreThenShow<Report6C>(port, &ParseReport6C, &KeepFixWithCount, &ShowFixWithCount))
        return;
    AnnounceStatus(port, 0x6C);
    emit Receivers().fixSatellitesChanged(port.slot);
}

void DecodeReport_54(PortRecord& port)
{
    if (ParseStoreThenShow<Report54>(port, &ParseReport54, &KeepSatelliteClock, nullptr))
        AnnounceStatus(port, 0x54);
}

void DecodeReport_82(PortRecord& port)
{
    if (ParseStoreThenShow<Report82>(port, &ParseReport82, &KeepDgps, nullptr))
        AnnounceStatus(port, 0x82);
}

void ShowDops(const std::array<Panel*, 4>& panels, const std::array<float, 4>& dops)
{
    for (size_t i = 0; i < panels.size(); ++i)
        panels[i]->setCaption(QString::asprintf("%.1f", static_cast<double>(dops[i])));
}

QString SvSelectionText(const Report6D& report)
{
    QString text;
    for (size_t i = 0; i < report.prnCount && i < report.prns.size(); ++i)
        text += QString::asprintf("%4d", report.prns[i]);
    return text;
}

bool IsFixSatellite(const PortReportRecord& reports, int32_t prn) { return InFixSet(reports, prn); }

void ClearFixSatellites()
{
    for (PortReportRecord& reports : PortReports) {
        reports.fixSvs = {};
        reports.fixSatellites = {};
    }
}
