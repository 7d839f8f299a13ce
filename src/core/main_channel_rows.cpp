// The main window's satellite rows: channels 0..7 of the display port.
#include <QString>

#include "core/main_window.h"
#include "monitor/health.h"
#include "model/port_reports.h"

namespace {

QString Degrees(float radians) { return QString::asprintf("%5.1f", radians * RadToDeg); }

// Green when the satellite is one of the display port's satellites in the fix.
QColor SvColour(const PortReportRecord& reports, int32_t prn)
{
    return prn != 0 && IsFixSatellite(reports, prn) ? Colours::Lime : WindowColour();
}

} // namespace

void TForm_Main::ShowChannel(int slot, int channel)
{
    if (slot + 1 != DisplayPort || channel < 0 || channel >= kChannels)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    const auto c = static_cast<size_t>(channel);
    // A multi-GNSS channel names its system: "G25", "R07".
    Panel_SV[c]->setCaption(r.chanSystem[c] == kNoSystem
                                ? QString::asprintf("%02d", r.chanPrn[c])
                                : QString::fromStdString(SatelliteLabel(r.chanSystem[c], r.chanPrn[c])));
    Panel_AMU[c]->setCaption(QString::asprintf("%5.1f", static_cast<double>(r.chanLevel[c])));
    Panel_AZ[c]->setCaption(Degrees(r.chanAzimuthRad[c]));
    Panel_EL[c]->setCaption(Degrees(r.chanElevationRad[c]));
    Panel_SV[c]->setColour(SvColour(r, r.chanPrn[c]));
}

void TForm_Main::BlankChannelRow(int channel)
{
    if (channel < 0 || channel >= kChannels)
        return;
    const auto c = static_cast<size_t>(channel);
    for (Panel* panel : {Panel_SV[c], Panel_AMU[c], Panel_AZ[c], Panel_EL[c]})
        panel->setCaption(QString());
    Panel_SV[c]->setColour(WindowColour());
}
