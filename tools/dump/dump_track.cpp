#include "dump_track.h"

#include <cmath>

#include "link/gnss_reports.h"
#include "link/packets.h"
#include "model/geodesy.h"

namespace {

constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;
constexpr double kGpsEpochUnix = 315964800; // 1980-01-06T00:00:00Z
constexpr double kWeekSeconds = 604800;
constexpr double kSpeedOfLight = 299792458; // m/s: the clock bias is sent in metres

// Degrees and metres of an ECEF fix.
void SetGeodetic(TrackPoint& p, double x, double y, double z)
{
    const Geodetic g = EcefToGeodetic(Ecef{x, y, z});
    p.latDeg = g.latRad * kDegPerRad, p.lonDeg = g.lonRad * kDegPerRad, p.altM = g.altM;
}

} // namespace

void TrackWriter::AddPoint(int report, double fixTime, std::string& out)
{
    TrackPoint& p = latest_;
    p.report = report;
    p.fixTime = fixTime;
    p.unixTime.reset();
    if (p.week && p.tow) {
        // The fix may lie across a week boundary from the time report.
        double week = *p.week;
        if (fixTime - *p.tow < -kWeekSeconds / 2)
            week += 1;
        else if (fixTime - *p.tow > kWeekSeconds / 2)
            week -= 1;
        p.unixTime = kGpsEpochUnix + week * kWeekSeconds + fixTime - (utcTimeScale_ ? 0 : utcOffset_);
    }
    if (velocityKind_ == Velocity::Enu) {
        p.velEast = vel_[0], p.velNorth = vel_[1], p.velUp = vel_[2];
    } else if (velocityKind_ == Velocity::Ecef) {
        // ECEF velocity turned into east, north, up at this position.
        const LocalFrame here({p.latDeg / kDegPerRad, p.lonDeg / kDegPerRad, p.altM});
        const LocalOffset v = here.ToLocal({vel_[0], vel_[1], vel_[2]});
        p.velEast = v.east, p.velNorth = v.north, p.velUp = v.up;
    }
    WritePoint(p, out);
}

bool TrackWriter::TakeContext(int id, const uint8_t* d, size_t n)
{
    TrackPoint& p = latest_;
    Report41 time;
    Report55 io;
    Report43 ecef;
    Report56 enu;
    Report6D fix;
    Report6C fixWithCount;
    Report8FAB timing;
    if (id == 0x41 && ParseReport41(d, n, time)) {
        p.week = time.week, p.tow = time.timeOfWeekS, utcOffset_ = time.utcOffsetS;
    } else if (id == 0x8F && ParseReport8FAB(d, n, timing)) {
        p.week = timing.week, p.tow = timing.timeOfWeekS, utcOffset_ = timing.utcOffsetS;
    } else if (id == 0x6C && ParseReport6C(d, n, fixWithCount)) {
        p.fixDimension = fixWithCount.DimensionCode() - 1;
        p.svCount = fixWithCount.prnCount;
        p.pdop = fixWithCount.pdop, p.hdop = fixWithCount.hdop, p.vdop = fixWithCount.vdop;
        p.tdop = fixWithCount.tdop;
    } else if (id == 0x55 && ParseReport55(d, n, io)) {
        utcTimeScale_ = (io.timing & 0x01) != 0;
    } else if (id == 0x43 && ParseReport43(d, n, ecef)) {
        velocityKind_ = Velocity::Ecef, vel_[0] = ecef.velXMps, vel_[1] = ecef.velYMps, vel_[2] = ecef.velZMps;
    } else if (id == 0x56 && ParseReport56(d, n, enu)) {
        velocityKind_ = Velocity::Enu, vel_[0] = enu.eastMps, vel_[1] = enu.northMps, vel_[2] = enu.upMps;
    } else if (id == 0x6D && ParseReport6D(d, n, fix)) {
        p.fixDimension = fix.DimensionCode() - 1;
        p.svCount = fix.SatelliteCount();
        p.pdop = fix.pdop, p.hdop = fix.hdop, p.vdop = fix.vdop, p.tdop = fix.tdop;
    } else {
        return false;
    }
    return true;
}

// A compact fix carries its own week, second and UTC offset: its row shows
// them, and the rows of other reports keep the time reports' values.
void TrackWriter::AddCompactPoint(int report, const CompactFix& fix, std::string& out)
{
    TrackPoint& p = latest_;
    const auto week = p.week;
    const auto tow = p.tow;
    const double utcOffset = utcOffset_;
    const bool utcScale = utcTimeScale_;
    // A 10-bit week a whole number of 1024-week eras behind the time report's
    // is shown as received, but the UTC time is that of the time report's era.
    int era = 0;
    if (week && *week > fix.week && (*week - fix.week) % 1024 == 0)
        era = *week - fix.week;
    p.receivedWeek = fix.week;
    p.week = fix.week + era, p.tow = fix.TimeOfWeekS(), utcOffset_ = fix.utcOffsetS, utcTimeScale_ = false;
    velocityKind_ = Velocity::Enu;
    for (size_t i = 0; i < 3; ++i)
        vel_[i] = fix.VelocityMps(i);
    p.latDeg = fix.LatDeg(), p.lonDeg = fix.LonDeg(), p.altM = fix.AltM();
    AddPoint(report, fix.TimeOfWeekS(), out);
    p.week = week, p.tow = tow, utcOffset_ = utcOffset, utcTimeScale_ = utcScale;
    p.receivedWeek.reset();
}

// The timing receivers' position report carries no time: the last timing report's second is its time.
bool TrackWriter::TakeNewerPosition(int id, const uint8_t* d, size_t n, std::string& out)
{
    if (id != 0x8F)
        return false;
    CompactFix fix;
    Report8FAC timing;
    if (ParseReport8F20(d, n, fix)) {
        AddCompactPoint(0x8F20, fix, out);
    } else if (ParseReport8F23(d, n, fix)) {
        AddCompactPoint(0x8F23, fix, out);
    } else if (ParseReport8FAC(d, n, timing)) {
        TrackPoint& p = latest_;
        p.latDeg = timing.latRad * kDegPerRad, p.lonDeg = timing.lonRad * kDegPerRad, p.altM = timing.altM;
        AddPoint(0x8FAC, p.tow.value_or(0), out);
    } else {
        return false;
    }
    return true;
}

void TrackWriter::OnPacket(int id, const uint8_t* d, size_t n, std::string& out)
{
    if (TakeContext(id, d, n) || TakeNewerPosition(id, d, n, out))
        return;
    TrackPoint& p = latest_;
    Report4A lla;
    Report84 lla2;
    Report42 xyz;
    Report83 xyz2;
    Report54 clock;
    p.clockBiasS.reset();
    if (id == 0x4A && ParseReport4A(d, n, lla)) {
        p.latDeg = lla.latRad * kDegPerRad, p.lonDeg = lla.lonRad * kDegPerRad, p.altM = lla.altM;
        p.clockBiasS = lla.clockBiasM / kSpeedOfLight;
        AddPoint(id, lla.fixTimeS, out);
    } else if (id == 0x84 && ParseReport84(d, n, lla2)) {
        p.latDeg = lla2.latRad * kDegPerRad, p.lonDeg = lla2.lonRad * kDegPerRad, p.altM = lla2.altM;
        p.clockBiasS = lla2.clockBiasM / kSpeedOfLight;
        AddPoint(id, lla2.fixTimeS, out);
    } else if (id == 0x42 && ParseReport42(d, n, xyz)) {
        SetGeodetic(p, xyz.xM, xyz.yM, xyz.zM);
        AddPoint(id, xyz.fixTimeS, out);
    } else if (id == 0x83 && ParseReport83(d, n, xyz2)) {
        SetGeodetic(p, xyz2.xM, xyz2.yM, xyz2.zM);
        p.clockBiasS = xyz2.clockBiasM / kSpeedOfLight;
        AddPoint(id, xyz2.fixTimeS, out);
    } else if (id == 0x54 && ParseReport54(d, n, clock)) {
        TakeClock(clock.fixTimeS, clock.biasM / kSpeedOfLight);
    }
}
