#include "monitor/position.h"

#include <cmath>
#include <optional>

#include "model/port_reports.h"
#include "monitor/position_download.h"
#include "monitor/report_decode.h"
#include "link/gnss_reports.h"
#include "link/packets.h"
#include "notify/receiver_notifier.h"

namespace {

// One position report, whatever its layout.
struct PositionFix {
    int id = 0;
    PositionKind kind = PositionKind::Ecef;
    bool single = false;              // single-precision report
    std::array<double, 3> values = {}; // X, Y, Z in m, or latitude and longitude in rad and altitude in m
    std::optional<double> biasM;      // clock bias, when the report carries one
    float fixTime = 0;
    std::array<int, 3> fileDecimals = {};
    // The newer reports' degrees are exact, not made with the program's factor.
    bool exactDegrees = false;
    uint16_t week = 0; // the week the report carried (compact fixes)
};

constexpr double kExactDegPerRad = 180.0 / 3.14159265358979323846;

PositionFix FixOf(const Report42& r)
{
    return {0x42, PositionKind::Ecef, true, {r.xM, r.yM, r.zM}, std::nullopt, r.fixTimeS, {2, 2, 2}};
}

PositionFix FixOf(const Report83& r)
{
    return {0x83, PositionKind::Ecef, false, {r.xM, r.yM, r.zM}, r.clockBiasM, r.fixTimeS, {5, 5, 5}};
}

PositionFix FixOf(const Report4A& r)
{
    return {0x4A, PositionKind::Geodetic, true, {r.latRad, r.lonRad, r.altM}, r.clockBiasM, r.fixTimeS, {3, 3, 1}};
}

PositionFix FixOf(const Report84& r)
{
    return {0x84, PositionKind::Geodetic, false, {r.latRad, r.lonRad, r.altM}, r.clockBiasM, r.fixTimeS, {5, 5, 3}};
}

// The compact fixes and the timing report's position: geodetic doubles with
// no clock bias. The timing report carries no time: the port's last timing
// report's second is the fix time.
PositionFix FixOfCompact(uint8_t subId, const CompactFix& r)
{
    const double rad = 1 / kExactDegPerRad;
    return {subId, PositionKind::Geodetic, false, {r.LatDeg() * rad, r.LonDeg() * rad, r.AltM()}, std::nullopt,
            static_cast<float>(r.TimeOfWeekS()), {7, 7, 3}, true, r.week};
}

PositionFix FixOf(const Report8FAC& r, float lastTimeOfWeek)
{
    double lon = r.lonRad;
    if (lon > 3.14159265358979323846) // an unsigned reading above 180 degrees
        lon -= 2 * 3.14159265358979323846;
    return {kPositionFrom8FAC, PositionKind::Geodetic, false, {r.latRad, lon, r.altM}, std::nullopt,
            lastTimeOfWeek, {7, 7, 3}, true, 0};
}

// Signed degrees of a received angle, in the precision of its report.
double Degrees(const PositionFix& fix, size_t i)
{
    if (fix.exactDegrees)
        return fix.values[i] * kExactDegPerRad;
    const double deg = fix.values[i] * RadToDeg;
    return fix.single ? static_cast<float>(deg) : deg;
}

void StorePosition(const PortRecord& port, const PositionFix& fix)
{
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
    r.fixTime = fix.fixTime;
    r.positionId = static_cast<uint8_t>(fix.id);
    r.fixWeek = fix.week;
    if (fix.kind == PositionKind::Ecef) {
        r.ecefX = fix.values[0];
        r.ecefY = fix.values[1];
        r.ecefZ = fix.values[2];
    } else {
        r.latDeg = fix.values[0] * (fix.exactDegrees ? kExactDegPerRad : RadToDeg);
        r.lonDeg = fix.values[1] * (fix.exactDegrees ? kExactDegPerRad : RadToDeg);
        r.altM = fix.values[2];
        r.latRad = fix.values[0];
        r.lonRad = fix.values[1];
    }
    if (fix.biasM)
        r.biasNs = MetresToNs(*fix.biasM);
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

// Stored, announced (the windows show it, the data logger logs it), then
// saved if the user asked for the display port's next fix.
void TakePosition(PortRecord& port, const PositionFix& fix)
{
    StorePosition(port, fix);
    emit Receivers().positionChanged(port.slot);
    if (IsDisplayPort(port))
        DownloadPositionIfPending(FileRecordOf(fix));
}

template <class Report>
void DecodePosition(PortRecord& port, bool (*parse)(const uint8_t*, size_t, Report&))
{
    Report report;
    if (parse(port.data, port.length, report))
        TakePosition(port, FixOf(report));
}

// The compact fixes bring east, north and up velocity in the same report.
void TakeCompactVelocity(const PortRecord& port, uint8_t subId, const CompactFix& fix)
{
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
    r.velEast = static_cast<float>(fix.VelocityMps(0));
    r.velNorth = static_cast<float>(fix.VelocityMps(1));
    r.velUp = static_cast<float>(fix.VelocityMps(2));
    r.velocityId = subId;
    emit Receivers().velocityChanged(port.slot);
}

void DecodeCompact(PortRecord& port, uint8_t subId, bool (*parse)(const uint8_t*, size_t, CompactFix&))
{
    CompactFix fix;
    if (!parse(port.data, port.length, fix))
        return;
    TakePosition(port, FixOfCompact(subId, fix));
    TakeCompactVelocity(port, subId, fix);
}

} // namespace

void DecodeReport_42(PortRecord& port) { DecodePosition<Report42>(port, &ParseReport42); }
void DecodeReport_4A(PortRecord& port) { DecodePosition<Report4A>(port, &ParseReport4A); }
void DecodeReport_83(PortRecord& port) { DecodePosition<Report83>(port, &ParseReport83); }
void DecodeReport_84(PortRecord& port) { DecodePosition<Report84>(port, &ParseReport84); }

void DecodeReport_8F20(PortRecord& port) { DecodeCompact(port, kPositionFrom8F20, &ParseReport8F20); }
void DecodeReport_8F23(PortRecord& port) { DecodeCompact(port, kPositionFrom8F23, &ParseReport8F23); }

void DecodeReport_8FAC(PortRecord& port)
{
    Report8FAC report;
    if (!ParseReport8FAC(port.data, port.length, report))
        return;
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
    r.timingStatus = report;
    r.timingStatusSeen = true;
    emit Receivers().timingStatusChanged(port.slot);
    // A receiver that has no position yet sends zeros: no fix to show or keep.
    if (report.latRad != 0 || report.lonRad != 0 || report.altM != 0)
        TakePosition(port, FixOf(report, r.timeOfWeekS));
}
