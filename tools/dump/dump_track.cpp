#include "dump_track.h"

#include <cmath>

#include "link/packets.h"

namespace {

constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;
constexpr double kGpsEpochUnix = 315964800; // 1980-01-06T00:00:00Z
constexpr double kWeekSeconds = 604800;

} // namespace

void EcefToGeodetic(double x, double y, double z, double* latDeg, double* lonDeg, double* altM)
{
    constexpr double a = 6378137.0;
    constexpr double f = 1 / 298.257223563;
    constexpr double e2 = f * (2 - f);
    const double p = std::hypot(x, y);
    double lat = std::atan2(z, p * (1 - e2));
    double n = a;
    for (int i = 0; i < 6; ++i) { // converges to far below a millimetre
        const double s = std::sin(lat);
        n = a / std::sqrt(1 - e2 * s * s);
        lat = std::atan2(z + e2 * n * s, p);
    }
    const double s = std::sin(lat), c = std::cos(lat);
    *latDeg = lat * kDegPerRad;
    *lonDeg = std::atan2(y, x) * kDegPerRad;
    // Near the poles p / cos(lat) loses precision; the z form does not.
    *altM = std::fabs(c) > 1e-3 ? p / c - n : z / s - n * (1 - e2);
}

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
        const double lat = p.latDeg / kDegPerRad, lon = p.lonDeg / kDegPerRad;
        const double sf = std::sin(lat), cf = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
        p.velEast = -sl * vel_[0] + cl * vel_[1];
        p.velNorth = -sf * cl * vel_[0] - sf * sl * vel_[1] + cf * vel_[2];
        p.velUp = cf * cl * vel_[0] + cf * sl * vel_[1] + sf * vel_[2];
    }
    WritePoint(p, out);
}

void TrackWriter::OnPacket(int id, const uint8_t* d, size_t n, std::string& out)
{
    TrackPoint& p = latest_;
    switch (id) {
    case 0x41: {
        Report41 r;
        if (ParseReport41(d, n, r))
            p.week = r.week, p.tow = r.timeOfWeekS, utcOffset_ = r.utcOffsetS;
        return;
    }
    case 0x55: {
        Report55 r;
        if (ParseReport55(d, n, r))
            utcTimeScale_ = (r.timing & 0x01) != 0;
        return;
    }
    case 0x43:
    case 0x56: {
        Report43 ecef;
        Report56 enu;
        if (id == 0x43 && ParseReport43(d, n, ecef))
            velocityKind_ = Velocity::Ecef, vel_[0] = ecef.velXMps, vel_[1] = ecef.velYMps, vel_[2] = ecef.velZMps;
        if (id == 0x56 && ParseReport56(d, n, enu))
            velocityKind_ = Velocity::Enu, vel_[0] = enu.eastMps, vel_[1] = enu.northMps, vel_[2] = enu.upMps;
        return;
    }
    case 0x6D: {
        Report6D r;
        if (ParseReport6D(d, n, r)) {
            p.fixDimension = r.DimensionCode() - 1;
            p.svCount = r.SatelliteCount();
            p.pdop = r.pdop, p.hdop = r.hdop, p.vdop = r.vdop, p.tdop = r.tdop;
        }
        return;
    }
    case 0x4A: {
        Report4A r;
        if (!ParseReport4A(d, n, r))
            return;
        p.latDeg = r.latRad * kDegPerRad, p.lonDeg = r.lonRad * kDegPerRad, p.altM = r.altM;
        AddPoint(id, r.fixTimeS, out);
        return;
    }
    case 0x84: {
        Report84 r;
        if (!ParseReport84(d, n, r))
            return;
        p.latDeg = r.latRad * kDegPerRad, p.lonDeg = r.lonRad * kDegPerRad, p.altM = r.altM;
        AddPoint(id, r.fixTimeS, out);
        return;
    }
    case 0x42: {
        Report42 r;
        if (!ParseReport42(d, n, r))
            return;
        EcefToGeodetic(r.xM, r.yM, r.zM, &p.latDeg, &p.lonDeg, &p.altM);
        AddPoint(id, r.fixTimeS, out);
        return;
    }
    case 0x83: {
        Report83 r;
        if (!ParseReport83(d, n, r))
            return;
        EcefToGeodetic(r.xM, r.yM, r.zM, &p.latDeg, &p.lonDeg, &p.altM);
        AddPoint(id, r.fixTimeS, out);
        return;
    }
    default: return;
    }
}
