#include "display/position.h"

#include <cmath>
#include <optional>

#include <QChar>
#include <QString>

#include "config/form_bias.h"
#include "core/main_window.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "display/position_download.h"
#include "display/report_decode.h"
#include "link/commands.h"
#include "link/packets.h"
#include "link/shared_flags.h"
#include "logging/data_log.h"
#include "notify/receiver_notifier.h"
#include "platform/ui.h"

namespace {

// One position report, whatever its layout.
struct PositionFix {
    int id = 0;
    PositionKind kind = PositionKind::Ecef;
    bool single = false;              // single-precision report
    std::array<double, 3> values = {}; // X, Y, Z in m, or latitude and longitude in rad and altitude in m
    std::optional<double> biasM;      // clock bias, when the report carries one
    float fixTime = 0;
    const char* hint = "";
    std::array<int, 3> fileDecimals = {};
};

PositionFix FixOf(const Report42& r)
{
    return {0x42, PositionKind::Ecef, true, {r.xM, r.yM, r.zM}, std::nullopt, r.fixTimeS,
            "Position: Packet 42", {2, 2, 2}};
}

PositionFix FixOf(const Report83& r)
{
    return {0x83, PositionKind::Ecef, false, {r.xM, r.yM, r.zM}, r.clockBiasM, r.fixTimeS,
            "Double Precision Position: Packet 83", {5, 5, 5}};
}

PositionFix FixOf(const Report4A& r)
{
    return {0x4A, PositionKind::Geodetic, true, {r.latRad, r.lonRad, r.altM}, r.clockBiasM, r.fixTimeS,
            "Position: Packet 4A", {3, 3, 1}};
}

PositionFix FixOf(const Report84& r)
{
    return {0x84, PositionKind::Geodetic, false, {r.latRad, r.lonRad, r.altM}, r.clockBiasM, r.fixTimeS,
            "Double Precision Position: Packet 84", {5, 5, 3}};
}

// Signed degrees of a received angle, in the precision of its report.
double Degrees(const PositionFix& fix, size_t i)
{
    const double deg = fix.values[i] * RadToDeg;
    return fix.single ? static_cast<float>(deg) : deg;
}

// ---------------------------------------------------------------- storing

// The warning that logging asks for a bias this report kind does not carry; once per port.
void WarnNoBias(const PortRecord& port)
{
    const auto slot = static_cast<size_t>(port.slot);
    if (!port.monitored || !LogBiasChecked() || BiasWarned[slot])
        return;
    BiasWarned[slot] = 1; // set before the box: a nested report must not open a second one
    ui::Message(QString::asprintf("Port %d monitored but not outputting bias.", port.slot + 1),
                QStringLiteral("Log Warning"), ui::Icon::Exclamation);
}

// Records paced by reports follow one report kind per port: the first that
// arrives after the start (or after new I/O options) binds the port.
void TriggerLogRecord(PortRecord& port, int reportId)
{
    const auto slot = static_cast<size_t>(port.slot);
    int32_t& trigger = LogTriggerId[slot];
    if (LogByReports != 1 || !port.monitored || (trigger != 0 && trigger != 1 && trigger != reportId))
        return;
    LogPorts[slot].TicksSinceFix = 0;
    WriteLogRecord(port);
    if (trigger == 1)
        trigger = 0;
    else if (trigger == 0)
        trigger = reportId;
}

void StorePosition(PortRecord& port, const PositionFix& fix)
{
    const auto slot = static_cast<size_t>(port.slot);
    PortReportRecord& r = PortReports[slot];
    r.fixTime = fix.fixTime;
    r.positionId = static_cast<uint8_t>(fix.id);
    if (fix.kind == PositionKind::Ecef) {
        r.ecefX = fix.values[0];
        r.ecefY = fix.values[1];
        r.ecefZ = fix.values[2];
    } else {
        r.latDeg = fix.values[0] * RadToDeg;
        r.lonDeg = fix.values[1] * RadToDeg;
        r.altM = fix.values[2];
    }
    if (fix.biasM)
        r.biasNs = MetresToNs(*fix.biasM);
    if (fix.id == 0x4A)
        LogPorts[slot].TicksSinceFix = 0;
    if (fix.id == 0x42)
        WarnNoBias(port);
    TriggerLogRecord(port, fix.id);
}

// ---------------------------------------------------------------- showing

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

void ShowAngleRow(const PositionFix& fix, size_t i, char positive, char negative, Panel* degrees, Panel* minutes,
                  Panel* hemisphere)
{
    const double deg = Degrees(fix, i);
    const AngleTexts t = fix.single ? SplitAngle(static_cast<float>(deg), positive, negative)
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

void ShowPositionRows(TForm_Main& f, const PositionFix& fix)
{
    const bool ecef = fix.kind == PositionKind::Ecef;
    f.Label_PanelPos->setCaption(ecef ? "ECEF Position" : "LLA Position");
    f.Panel_Position->setHint(fix.hint);
    ShowGeodeticRows(f, !ecef);
    if (ecef) {
        f.Panel_X->setCaption(QString::asprintf("%.2f", fix.values[0]));
        f.Panel_Y->setCaption(QString::asprintf("%.2f", fix.values[1]));
        f.Panel_Alt_Z->setCaption(QString::asprintf("%.2f", fix.values[2]));
    } else {
        ShowAngleRow(fix, 0, 'N', 'S', f.Panel_LatDeg, f.Panel_LatMin, f.Panel_NorthSouth);
        ShowAngleRow(fix, 1, 'E', 'W', f.Panel_LonDeg, f.Panel_LonMin, f.Panel_EastWest);
        f.Panel_Alt_Z->setCaption(QString::asprintf("%.1f", fix.values[2]));
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

void ShowBias(const PositionFix& fix)
{
    SetLogBiasAvailable(fix.biasM.has_value());
    if (Form_Bias)
        Form_Bias->ShowBias(fix.biasM ? std::optional<double>(MetresToNs(*fix.biasM)) : std::nullopt);
}

PositionFileRecord FileRecordOf(const PositionFix& fix)
{
    PositionFileRecord record{fix.kind, fix.values, fix.fileDecimals};
    if (fix.kind == PositionKind::Geodetic) {
        record.values[0] = Degrees(fix, 0);
        record.values[1] = Degrees(fix, 1);
    }
    return record;
}

void ShowPosition(const PositionFix& fix)
{
    if (!Form_Main)
        return;
    TForm_Main& f = *Form_Main;
    ShowPositionRows(f, fix);
    f.Panel_Time->setCaption(QString::fromStdString(FormatTimeOfWeek(fix.fixTime, 1)));
    f.Panel_TOW->setCaption(QString::asprintf("%.2f", static_cast<double>(fix.fixTime)));
    if (fix.kind == PositionKind::Ecef)
        ShowDeltaPanels(f, false);
    else
        UpdateChangeOfPosition(fix.values[0], fix.values[1]);
    ShowBias(fix);
    DownloadPositionIfPending(FileRecordOf(fix));
}

template <class Report>
void DecodePosition(PortRecord& port, bool (*parse)(const uint8_t*, size_t, Report&))
{
    Report report;
    if (!parse(port.data, port.length, report))
        return;
    StoreThenShow(port, FixOf(report), &StorePosition, &ShowPosition);
    emit Receivers().positionChanged(port.slot);
}

// ---------------------------------------------------------------- change of position

// The reference point, valid while ReferenceSet is 1.
struct Reference {
    double lat0 = 0, lon0 = 0;
    double northScale = 0, eastScale = 0; // metres per radian
};
Reference g_reference;

// WGS-84 radii of curvature at the latitude: meridian (north) and prime
// vertical times cos(latitude) (east). The constants are a^2 - b^2, b^2,
// a^2 and a^2 b^2 of the ellipsoid with a = 6378137 m, b = 6356752.3142 m.
Reference ReferenceAt(double latRad, double lonRad)
{
    const double c = std::cos(latRad);
    const double d = 272331606681.94568 * c * c + 40408299984087.055;
    const double e = std::sqrt(d);
    return {latRad, lonRad, 1.6438351648619222e27 / (e * d), c * 40680631590769.0 / e};
}

} // namespace

void DecodeReport_42(PortRecord& port) { DecodePosition<Report42>(port, &ParseReport42); }
void DecodeReport_4A(PortRecord& port) { DecodePosition<Report4A>(port, &ParseReport4A); }
void DecodeReport_83(PortRecord& port) { DecodePosition<Report83>(port, &ParseReport83); }
void DecodeReport_84(PortRecord& port) { DecodePosition<Report84>(port, &ParseReport84); }

void UpdateChangeOfPosition(double latRad, double lonRad)
{
    if (!Form_Main)
        return;
    ShowDeltaPanels(*Form_Main, true);
    if (!Flags.ReferenceSet) {
        Flags.ReferenceSet = 1;
        g_reference = ReferenceAt(latRad, lonRad);
    }
    const double dNorth = (latRad - g_reference.lat0) * g_reference.northScale;
    const double dEast = (lonRad - g_reference.lon0) * g_reference.eastScale;
    Form_Main->Panel_DeltaLat->setCaption(QString::asprintf("%.2f", dNorth));
    Form_Main->Panel_DeltaLon->setCaption(QString::asprintf("%.2f", dEast));
}
