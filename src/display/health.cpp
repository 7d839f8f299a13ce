#include "display/health.h"

#include <algorithm>

#include "core/main_window.h"
#include "display/form_track.h"
#include "display/parsed_report.h"
#include "notify/receiver_notifier.h"

namespace {

// One of the four status lamps: fill and text for its bit set and clear.
struct LampState {
    QColor setColour;
    const char* setText;
    const char* clearText;
};

const LampState kBbram{Colours::Yellow, "not available at start", "available at start"};
const LampState kAntenna{Colours::Red, "feed line fault", "feed line OK"};
const LampState kRtc{Colours::Yellow, "not available at start", "available at start"};
// Labels show plain text, so a single ampersand is what the user sees.
const LampState kAlmanac{Colours::Yellow, "not complete & current", "complete & current"};

void ShowLamp(Shape* lamp, Label* label, const LampState& state, bool set)
{
    lamp->setFill(set ? state.setColour : Colours::Lime);
    label->setCaption(set ? state.setText : state.clearText);
}

void KeepHealth(PortRecord& port, const Report46& report)
{
    PortReportRecord& reports = ReportsOf(port);
    reports.healthCode = report.statusCode;
    reports.healthErrors = report.errorBits;
}

void ShowHealth(const Report46& report)
{
    if (!Form_Main)
        return;
    Form_Main->Panel_Health->setCaption(HealthText(report.statusCode));
    ShowLamp(Form_Main->Shape_Err1, Form_Main->Label_BBRAMLed, kBbram, report.errorBits & 0x01);
    ShowLamp(Form_Main->Shape_Err2, Form_Main->Label_AntennaLed, kAntenna, report.errorBits & 0x10);
}

void KeepStatus(PortRecord& port, const Report4B& report) { ReportsOf(port).statusFlags = report.statusBits; }

void ShowStatus(const Report4B& report)
{
    if (!Form_Main)
        return;
    ShowLamp(Form_Main->Shape_Err3, Form_Main->Label_RTCLed, kRtc, report.statusBits & 0x02);
    ShowLamp(Form_Main->Shape_Err4, Form_Main->Label_AlmanacLed, kAlmanac, report.statusBits & 0x08);
}

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
}

void ShowDops(Panel* pdop, Panel* hdop, Panel* vdop, Panel* tdop, const Report6D& report)
{
    pdop->setCaption(QString::asprintf("%.1f", static_cast<double>(report.pdop)));
    hdop->setCaption(QString::asprintf("%.1f", static_cast<double>(report.hdop)));
    vdop->setCaption(QString::asprintf("%.1f", static_cast<double>(report.vdop)));
    tdop->setCaption(QString::asprintf("%.1f", static_cast<double>(report.tdop)));
}

void ShowFix(const Report6D& report)
{
    if (Form_Main) {
        Form_Main->Panel_RecMode->setCaption(FixModeText(report));
        ShowDops(Form_Main->Panel_PDOP, Form_Main->Panel_HDOP, Form_Main->Panel_VDOP, Form_Main->Panel_TDOP, report);
    }
    if (Form_Track) {
        Form_Track->ShowDops(report.pdop, report.hdop, report.vdop, report.tdop);
        Form_Track->ShowFixSatellites(SvSelectionText(report));
    }
}

void KeepDgps(PortRecord& port, const Report82& report) { ReportsOf(port).dgpsMode = report.dgpsMode; }

void ShowDgps(const Report82& report)
{
    if (Form_Main)
        Form_Main->Panel_DGPS->setCaption(DgpsModeText(report.dgpsMode));
}

} // namespace

void DecodeReport_46(PortRecord& port)
{
    if (ParseStoreThenShow<Report46>(port, &ParseReport46, &KeepHealth, &ShowHealth))
        emit Receivers().statusChanged(port.slot);
}

void DecodeReport_4B(PortRecord& port)
{
    if (ParseStoreThenShow<Report4B>(port, &ParseReport4B, &KeepStatus, &ShowStatus))
        emit Receivers().statusChanged(port.slot);
}

void DecodeReport_6D(PortRecord& port)
{
    if (!ParseStoreThenShow<Report6D>(port, &ParseReport6D, &KeepFix, &ShowFix))
        return;
    emit Receivers().statusChanged(port.slot);
    emit Receivers().fixSatellitesChanged(port.slot);
}

void DecodeReport_82(PortRecord& port)
{
    if (ParseStoreThenShow<Report82>(port, &ParseReport82, &KeepDgps, &ShowDgps))
        emit Receivers().statusChanged(port.slot);
}

QString HealthText(uint8_t code)
{
    switch (code) {
    case 0: return "Doing Position Fixes";
    case 1: return "Don't have GPS time";
    case 2: return "Need initialization";
    case 3: return "PDOP too high";
    case 8: return "No usable satellites";
    case 9: return "Only 1 usable SV";
    case 10: return "Only 2 usable SVs";
    case 11: return "Only 3 usable SVs";
    case 12: return "Choosen SV is unusable";
    default: return QString("Status code %1").arg(code);
    }
}

QString DgpsModeText(uint8_t mode)
{
    switch (mode) {
    case 0: return "Manual (Diff. off)";
    case 1: return "Manual (Diff. on)";
    case 2: return "Auto (Diff. currently off)";
    case 3: return "Auto (Diff. currently on)";
    default: return QString("DGPS mode %1").arg(mode);
    }
}

QString FixModeText(const Report6D& report)
{
    return QString::asprintf("%d-D  (%d SV)", report.DimensionCode() - 1, report.SatelliteCount());
}

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
