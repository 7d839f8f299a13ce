// The main window's position, change of position and velocity panels, drawn
// from the display port's stored reports.
#include <QChar>
#include <QString>
#include <cmath>

#include "core/main_window.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "model/position_change.h"

namespace {

// What the panels take from the kind of the last position report.
struct PositionLayout {
    bool ecef = true;
    bool single = true; // single-precision report
    const char* hint = "";
};

PositionLayout LayoutOf(uint8_t positionId)
{
    switch (positionId) {
    case 0x83: return {true, false, "Double Precision Position: Packet 83"};
    case 0x4A: return {false, true, "Position: Packet 4A"};
    case 0x84: return {false, false, "Double Precision Position: Packet 84"};
    case kPositionFrom8F20: return {false, false, "Extended Last Fix: Packet 8F-20"};
    case kPositionFrom8F23: return {false, false, "Compact Fix: Packet 8F-23"};
    case kPositionFrom8FAC: return {false, false, "Supplementary Timing: Packet 8F-AC"};
    default: return {true, true, "Position: Packet 42"};
    }
}

struct AngleTexts {
    QString degrees, minutes, hemisphere;
};

// Whole degrees with the degree sign, minutes with five decimals and an
// apostrophe, and the hemisphere letter.
template <class Real>
AngleTexts SplitAngle(Real deg, char positive, char negative)
{
    char letter = positive;
    if (!(deg >= 0)) { // NaN counts as negative, -0 as positive
        letter = negative;
        deg = -deg;
    }
    double whole = static_cast<double>(std::trunc(deg));
    QString minutes = QString::asprintf("%.5f'", static_cast<double>((deg - static_cast<Real>(whole)) * Real(60)));
    if (minutes.startsWith(QLatin1String("60."))) { // rounded up to a whole degree: carry it
        whole += 1;
        minutes = QStringLiteral("0.00000'");
    }
    return {QString::number(whole, 'f', 0) + QChar(0x00B0), minutes, QString(QLatin1Char(letter))};
}

// Degrees in the precision of the report that brought them.
void ShowAngleRow(double deg, bool single, char positive, char negative, Panel* degrees, Panel* minutes,
                  Panel* hemisphere)
{
    const AngleTexts t = single ? SplitAngle(static_cast<float>(deg), positive, negative)
                                : SplitAngle(deg, positive, negative);
    degrees->setCaption(t.degrees);
    minutes->setCaption(t.minutes);
    hemisphere->setCaption(t.hemisphere);
}

void ShowGeodeticRows(TForm_Main& f, bool geodetic)
{
    f.Panel_X->setHidden(geodetic);
    f.Panel_Y->setHidden(geodetic);
    for (Panel* p : {f.Panel_NorthSouth, f.Panel_LatDeg, f.Panel_LatMin, f.Panel_EastWest, f.Panel_LonDeg,
                     f.Panel_LonMin})
        p->setHidden(!geodetic);
}

void ShowPositionRows(TForm_Main& f, const PortReportRecord& r, const PositionLayout& layout)
{
    const bool ecef = layout.ecef;
    f.Label_PanelPos->setCaption(ecef ? "ECEF Position" : "LLA Position");
    f.Panel_Position->setHint(layout.hint);
    ShowGeodeticRows(f, !ecef);
    if (ecef) {
        f.Panel_X->setCaption(QString::asprintf("%.2f", r.ecefX));
        f.Panel_Y->setCaption(QString::asprintf("%.2f", r.ecefY));
        f.Panel_Alt_Z->setCaption(QString::asprintf("%.2f", r.ecefZ));
    } else {
        ShowAngleRow(r.latDeg, layout.single, 'N', 'S', f.Panel_LatDeg, f.Panel_LatMin, f.Panel_NorthSouth);
        ShowAngleRow(r.lonDeg, layout.single, 'E', 'W', f.Panel_LonDeg, f.Panel_LonMin, f.Panel_EastWest);
        f.Panel_Alt_Z->setCaption(QString::asprintf("%.1f", r.altM));
    }
    f.Label_Lat_X->setCaption(ecef ? "X" : "Latitude");
    f.Label_Lon_Y->setCaption(ecef ? "Y" : "Longitude");
    f.Label_Alt_Z->setCaption(ecef ? "Z" : "Altitude");
    f.Label_Pmode1->setCaption(ecef ? "m" : "");
    f.Label_Pmode2->setCaption(ecef ? "m" : "");
}

// The blank covers hide the change of position while the position is ECEF.
void ShowDeltaPanels(TForm_Main& f, bool shown)
{
    f.Panel_DeltaLat->setHidden(!shown);
    f.Panel_DeltaLon->setHidden(!shown);
    f.Panel_Disable->setHidden(shown);
    f.Panel_Disable2->setHidden(shown);
}

// The change of position against the program-wide reference point.
void ShowChangeOfPosition(TForm_Main& f, double latRad, double lonRad)
{
    ShowDeltaPanels(f, true);
    const NorthEast change = UpdateChangeOfPosition(latRad, lonRad);
    f.Panel_DeltaLat->setCaption(QString::asprintf("%.2f", change.north));
    f.Panel_DeltaLon->setCaption(QString::asprintf("%.2f", change.east));
}

// ENU components show their magnitude with a direction word (never "-0.00").
void ShowEnuRow(TForm_Main& f, size_t i, float value)
{
    static const char* const ahead[3] = {"East", "North", "Up"};
    static const char* const behind[3] = {"West", "South", "Down"};
    const bool negative = value < 0;
    f.Panel_Vel[i]->setCaption(QString::asprintf("%.2f", static_cast<double>(std::fabs(value))));
    f.Label_Vel[i]->setCaption(negative ? behind[i] : ahead[i]);
}

void ShowEcefRow(TForm_Main& f, size_t i, float value)
{
    static const char* const axes[3] = {"X", "Y", "Z"};
    f.Panel_Vel[i]->setCaption(QString::asprintf("%.2f", static_cast<double>(value)));
    f.Label_Vel[i]->setCaption(axes[i]);
}

const char* VelocityHint(uint8_t velocityId)
{
    switch (velocityId) {
    case 0x43: return "Velocity: Packet 43";
    case kPositionFrom8F20: return "Velocity: Packet 8F-20";
    case kPositionFrom8F23: return "Velocity: Packet 8F-23";
    default: return "Velocity: Packet 56";
    }
}

} // namespace

void TForm_Main::ShowPosition(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    const PositionLayout layout = LayoutOf(r.positionId);
    ShowPositionRows(*this, r, layout);
    Panel_Time->setCaption(QString::fromStdString(FormatTimeOfWeek(r.fixTime, 1)));
    Panel_TOW->setCaption(QString::asprintf("%.2f", static_cast<double>(r.fixTime)));
    if (layout.ecef)
        ShowDeltaPanels(*this, false);
    else
        ShowChangeOfPosition(*this, r.latRad, r.lonRad);
}

void TForm_Main::ShowVelocity(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    const bool enu = r.velocityId != 0x43;
    const std::array<float, 3> values =
        enu ? std::array{r.velEast, r.velNorth, r.velUp} : std::array{r.velX, r.velY, r.velZ};
    Label_PanelVel->setCaption(enu ? "ENU Velocity" : "ECEF Velocity");
    Panel_Velocity->setHint(VelocityHint(r.velocityId));
    for (size_t i = 0; i < 3; ++i)
        (enu ? ShowEnuRow : ShowEcefRow)(*this, i, values[i]);
}
