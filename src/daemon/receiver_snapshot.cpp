#include "daemon/receiver_snapshot.h"

#include <algorithm>
#include <cmath>

#include "link/port_table.h"
#include "model/fix_scatter.h"
#include "model/port_reports.h"

namespace {

constexpr int kGpsTime = 0x41;
constexpr int kFixSelection = 0x6D;
constexpr int kFixSelectionWithCount = 0x6C;

// Bits 0-2 of the fix report are the dimension plus one: 5 is a timing
// receiver's fix of time at a held position ("4-D"), a fix like any other;
// other codes say nothing.
std::optional<int> FixDimensionOf(uint8_t fixMode)
{
    const int code = fixMode & 0x07;
    if (code < 1 || code > 5)
        return std::nullopt;
    return code - 1;
}

void AddFix(ReceiverSnapshot& s, const PortReportRecord& r)
{
    s.fixDimension = FixDimensionOf(r.fix.fixModeBits);
    s.satellitesUsed = r.fix.SatelliteCount(); // a 0x6C's own count is kept there too
    s.pdop = r.pdop;
    s.hdop = r.hdop;
    s.vdop = r.vdop;
    s.tdop = r.tdop;
}

void AddPosition(ReceiverSnapshot& s, const PortReportRecord& r)
{
    if (const std::optional<Ecef> fix = LastFixOf(r)) {
        const Geodetic g = EcefToGeodetic(*fix);
        s.latitudeDeg = g.latRad * RadToDeg;
        s.longitudeDeg = g.lonRad * RadToDeg;
        s.altitudeM = g.altM;
    }
}

void AddChannels(ReceiverSnapshot& s, const PortReportRecord& r)
{
    for (size_t c = 0; c < static_cast<size_t>(kTrackChannels); ++c) {
        if (r.chanPrn[c] == 0 || r.chanTimeout[c] <= 0)
            continue;
        const int prn = r.chanPrn[c];
        // Two channels on one satellite (a reacquisition) would give two samples of one series.
        if (std::any_of(s.channels.begin(), s.channels.end(), [prn](const ChannelSnapshot& o) { return o.prn == prn; }))
            continue;
        const bool used = std::find(r.fixSvs.begin(), r.fixSvs.end(), prn) != r.fixSvs.end();
        s.channels.push_back({prn, r.chanLevel[c], r.chanElevationDeg[c], r.chanAzimuthDeg[c], used});
    }
}

TimingSnapshot TimingOf(const Report8FAC& r)
{
    TimingSnapshot t;
    t.receiverMode = r.receiverMode;
    t.discipliningMode = r.discipliningMode;
    t.surveyProgressPercent = r.surveyProgress;
    t.holdoverS = r.holdoverS;
    t.criticalAlarms = r.criticalAlarms;
    t.minorAlarms = r.minorAlarms;
    t.ppsOffsetS = r.ppsOffsetNs * 1e-9;
    t.oscillatorOffsetPpb = r.clockOffsetPpb;
    t.dacValue = r.dacValue;
    t.dacVolts = r.dacVoltage;
    t.temperatureC = r.temperatureC;
    t.ppsQuantisationS = r.ppsQuantisationNs * 1e-9;
    return t;
}

} // namespace

ReceiverSnapshot SnapshotOf(const PortRecord& port, const PortReportRecord& reports, const ReportsSeen& seen)
{
    ReceiverSnapshot s;
    s.open = port.open != 0 && port.lost == 0;
    s.packets = port.traffic.packets;
    s.bytes = port.traffic.bytes;
    s.quietS = port.traffic.quietMs / 1000.0;
    if (seen.any())
        s.lastPacketAgeS = s.quietS;
    if (seen[kFixSelection] || seen[kFixSelectionWithCount])
        AddFix(s, reports);
    if (seen[kGpsTime]) {
        s.gpsWeek = reports.gpsWeek;
        s.timeOfWeekS = reports.timeOfWeekS;
    }
    if (reports.positionId != 0)
        AddPosition(s, reports);
    if (const std::optional<ClockReading> clock = LatestClock(reports)) {
        s.clockBiasS = clock->biasNs * 1e-9;
        if (std::isfinite(clock->biasRatePpb))
            s.clockDriftPpb = clock->biasRatePpb; // a timing receiver's 0x54
    }
    if (reports.velocityId != 0)
        s.clockDriftPpb = reports.biasRatePpb;
    AddChannels(s, reports);
    if (reports.timingStatusSeen)
        s.timing = TimingOf(reports.timingStatus);
    return s;
}
