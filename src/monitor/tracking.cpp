#include "monitor/tracking.h"

#include <cmath>

#include "monitor/parsed_report.h"
#include "notify/receiver_notifier.h"

std::array<int32_t, kChannels> ChannelTimeout = {};

namespace {

constexpr int32_t kTimeoutSeconds = 5;
// 0x5C names channels 0..11; channels 12 and above lie outside its tables and
// are refused like a packet of the wrong length.
constexpr int kClassicChannels = 12;

bool ParseTrackedChannel(const uint8_t* data, size_t length, Report5C& out)
{
    return ParseReport5C(data, length, out) && out.Channel() < kClassicChannels;
}

bool ParseGnssChannel(const uint8_t* data, size_t length, Report5D& out)
{
    return ParseReport5D(data, length, out) && out.channel < kTrackChannels;
}

// One channel's satellite, whichever report brought it.
struct ChannelValues {
    int channel = 0;
    uint8_t prn = 0;
    uint8_t system = kNoSystem;
    float level = 0;
    float azimuthRad = 0, elevationRad = 0;
};

void KeepChannelValues(PortRecord& port, const ChannelValues& v)
{
    PortReportRecord& reports = ReportsOf(port);
    const size_t c = static_cast<size_t>(v.channel);
    if (v.channel < kChannels)
        ChannelTimeout[c] = kTimeoutSeconds;
    reports.chanTimeout[c] = kTimeoutSeconds;
    reports.chanPrn[c] = v.prn;
    reports.chanSystem[c] = v.system;
    reports.chanLevel[c] = v.level;
    reports.chanAzimuthDeg[c] = static_cast<float>(v.azimuthRad * RadToDeg);
    reports.chanElevationDeg[c] = static_cast<float>(v.elevationRad * RadToDeg);
    reports.chanAzimuthRad[c] = v.azimuthRad;
    reports.chanElevationRad[c] = v.elevationRad;
    UpdateLatch(reports, v.channel, v.prn, v.level);
}

void KeepChannel(PortRecord& port, const Report5C& r)
{
    KeepChannelValues(port, {r.Channel(), r.prn, kNoSystem, r.signalLevelAmu, r.azimuthRad, r.elevationRad});
    ReportsOf(port).chanReport[static_cast<size_t>(r.Channel())] = r;
}

} // namespace

void DecodeReport_5C(PortRecord& port)
{
    Report5C report;
    if (!ParseTrackedChannel(port.data, port.length, report))
        return;
    KeepChannel(port, report);
    emit Receivers().channelChanged(port.slot, report.Channel());
}

// A multi-GNSS channel: the level is in dB-Hz and the system is kept with it.
void DecodeReport_5D(PortRecord& port)
{
    Report5D r;
    if (!ParseGnssChannel(port.data, port.length, r))
        return;
    KeepChannelValues(port, {r.channel, r.prn, r.system, r.signalLevelDbHz, r.azimuthRad, r.elevationRad});
    ReportsOf(port).chanGnssReport[r.channel] = r;
    emit Receivers().channelChanged(port.slot, r.channel);
}

namespace {

// The columns from the level on, which both channel reports have.
QString MeasurementColumns(float level, float lastMeasurementS, float elevationRad, float azimuthRad, int oldFlag,
                           int integerMsecFlag, int badDataFlag, int collectionFlag)
{
    return QString::asprintf("%8.1f%10.1f%6.1f%7.1f", static_cast<double>(level), static_cast<double>(lastMeasurementS),
                             elevationRad * RadToDeg, azimuthRad * RadToDeg) +
           QString::asprintf("%5d%5d%4d%4d", oldFlag, integerMsecFlag, badDataFlag, collectionFlag);
}

} // namespace

QString TrackRowText(const Report5C& r)
{
    return QString::asprintf("%3d%3d%4d%5d%4d", r.prn, r.Slot(), r.Channel() + 1, r.acquisitionFlag, r.ephemerisFlag) +
           MeasurementColumns(r.signalLevelAmu, r.lastMeasurementS, r.elevationRad, r.azimuthRad,
                              r.oldMeasurementFlag, r.integerMsecFlag, r.badDataFlag, r.dataCollectionFlag);
}

QString TrackRowText(const Report5D& r)
{
    return QString::asprintf("%3s%3s%4d%5d%4s", SatelliteLabel(r.system, r.prn).c_str(), "-", r.channel + 1,
                             r.acquisitionFlag, "-") +
           MeasurementColumns(r.signalLevelDbHz, r.lastMeasurementS, r.elevationRad, r.azimuthRad,
                              r.oldMeasurementFlag, r.integerMsecFlag, r.badDataFlag, r.dataCollectionFlag);
}

void UpdateLatch(PortReportRecord& reports, int chan, uint8_t prn, float level)
{
    const size_t c = static_cast<size_t>(chan);
    if (reports.latchRestart[c] != 0) {
        reports.latchRestart[c] = 0;
    } else if (!(std::fabs(reports.latchedLevel[c]) > std::fabs(level))) {
        return; // equal magnitudes keep the older entry
    }
    reports.latchedPrn[c] = prn;
    reports.latchedLevel[c] = level;
}

void ExpireChannels()
{
    for (size_t chan = 0; chan < ChannelTimeout.size(); ++chan) {
        if (ChannelTimeout[chan] > 0 && --ChannelTimeout[chan] == 0) {
            emit Receivers().channelRowsExpired(static_cast<int>(chan));
        }
    }
    for (size_t slot = 0; slot < PortReports.size(); ++slot) {
        std::array<int32_t, kTrackChannels>& timeout = PortReports[slot].chanTimeout;
        for (size_t chan = 0; chan < timeout.size(); ++chan) {
            if (timeout[chan] > 0 && --timeout[chan] == 0)
                emit Receivers().channelExpired(static_cast<int>(slot), static_cast<int>(chan));
        }
    }
}

void ResetTrackingState()
{
    ChannelTimeout = {};
    for (PortReportRecord& reports : PortReports)
        reports.chanTimeout = {};
}
