#include "monitor/position.h"

#include <optional>

#include "model/port_reports.h"
#include "monitor/position_download.h"
#include "monitor/report_decode.h"
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
};

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

// Signed degrees of a received angle, in the precision of its report.
double Degrees(const PositionFix& fix, size_t i)
{
    const double deg = fix.values[i] * RadToDeg;
    return fix.single ? static_cast<float>(deg) : deg;
}

void StorePosition(const PortRecord& port, const PositionFix& fix)
{
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
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
template <class Report>
void DecodePosition(PortRecord& port, bool (*parse)(const uint8_t*, size_t, Report&))
{
    Report report;
    if (!parse(port.data, port.length, report))
        return;
    const PositionFix fix = FixOf(report);
    StorePosition(port, fix);
    emit Receivers().positionChanged(port.slot);
    if (IsDisplayPort(port))
        DownloadPositionIfPending(FileRecordOf(fix));
}

} // namespace

void DecodeReport_42(PortRecord& port) { DecodePosition<Report42>(port, &ParseReport42); }
void DecodeReport_4A(PortRecord& port) { DecodePosition<Report4A>(port, &ParseReport4A); }
void DecodeReport_83(PortRecord& port) { DecodePosition<Report83>(port, &ParseReport83); }
void DecodeReport_84(PortRecord& port) { DecodePosition<Report84>(port, &ParseReport84); }
