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
    reports.fix = {};
    reports.fix.fixModeBits = report.fixModeBits;
    reports.fix.pdop = report.pdop;
    reports.fix.hdop = report.hdop;
    reports.fix.vdop = report.vdop;
    reports.fix.tdop = report.tdop;
}

void KeepFix(PortRecord& port, const Report6D& report)
{
    PortReportRecord& reports = ReportsOf(port);
    KeepFixList(reports, report.prns, report.prnCount);
    KeepFixHeader(reports, report);
    reports.fix = report;
}

// 0x6C is kept in the 0x6D shape too, so the tracking window lists its fix;
// its mode byte has no count nibble, so the list's length is put there.
void KeepFixWithCount(PortRecord& port, const Report6C& report)
{
    PortReportRecord& reports = ReportsOf(port);
    KeepFixList(reports, report.prns, report.prnCount);
    KeepFixHeader(reports, report);
    const size_t count = std::min<size_t>(report.prnCount, reports.fix.prns.size());
    reports.fix.fixModeBits = static_cast<uint8_t>((report.fixModeBits & 0x0F) | (std::min<size_t>(count, 15) << 4));
    reports.fix.prnCount = static_cast<uint16_t>(count);
    for (size_t i = 0; i < count; ++i)
        reports.fix.prns[i] = static_cast<int8_t>(report.prns[i]);
}

void KeepSatelliteClock(PortRecord& port, const Report54& report)
{
    ReportsOf(port).satelliteClock = report;
    ReportsOf(port).satelliteClockSeen = true;
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

void DecodeReport_6C(PortRecord& port)
{
    if (!ParseStoreThenShow<Report6C>(port, &ParseReport6C, &KeepFixWithCount, nullptr))
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

QString DopText(float dop) { return QString::asprintf("%.1f", static_cast<double>(dop)); }

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
