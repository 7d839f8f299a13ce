// The main window's Status panel, its four lamps and the DOP fields, drawn
// from the display port's stored status reports.
#include <QString>
#include <algorithm>

#include "core/main_window.h"
#include "monitor/health.h"
#include "model/port_reports.h"

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

// Codes without a text of their own show their number.
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

// "3-D  (4 SV)" from byte 0 of 0x6D.
QString FixModeText(uint8_t fixModeBits)
{
    Report6D report;
    report.fixModeBits = fixModeBits;
    return QString::asprintf("%d-D  (%d SV)", report.DimensionCode() - 1, report.SatelliteCount());
}

} // namespace

void TForm_Main::ShowStatus(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    switch (r.statusId) {
    case 0x46:
        Panel_Health->setCaption(HealthText(r.healthCode));
        ShowLamp(Shape_Err1, Label_BBRAMLed, kBbram, r.healthErrors & 0x01);
        ShowLamp(Shape_Err2, Label_AntennaLed, kAntenna, r.healthErrors & 0x10);
        break;
    case 0x4B:
        ShowLamp(Shape_Err3, Label_RTCLed, kRtc, r.statusFlags & 0x02);
        ShowLamp(Shape_Err4, Label_AlmanacLed, kAlmanac, r.statusFlags & 0x08);
        break;
    case 0x6D:
        Panel_RecMode->setCaption(FixModeText(r.fixMode));
        Panel_PDOP->setCaption(DopText(r.pdop));
        Panel_HDOP->setCaption(DopText(r.hdop));
        Panel_VDOP->setCaption(DopText(r.vdop));
        Panel_TDOP->setCaption(DopText(r.tdop));
        break;
    case 0x6C:
        Panel_RecMode->setCaption(FixModeText(r.fix.fixModeBits)); // its own count kept in the mode byte
        Panel_PDOP->setCaption(DopText(r.pdop));
        Panel_HDOP->setCaption(DopText(r.hdop));
        Panel_VDOP->setCaption(DopText(r.vdop));
        Panel_TDOP->setCaption(DopText(r.tdop));
        break;
    case 0x82: Panel_DGPS->setCaption(DgpsModeText(r.dgpsMode)); break;
    default: break;
    }
}
