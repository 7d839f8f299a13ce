#include "monitor/tracking.h"

#include <cmath>

#include "monitor/parsed_report.h"
#include "notify/receiver_notifier.h"

std::array<int32_t, kChannels> ChannelTimeout = {};

namespace {

constexpr int32_t kTimeoutSeconds = 5;

// Channels 12 and above lie outside every per-channel table: such reports are
// refused like a packet of the wrong length.
bool ParseTrackedChannel(const uint8_t* data, size_t length, Report5C& out)
{
    return ParseReport5C(data, length, out) && out.Channel() < kTrackChannels;
}

void KeepChannel(PortRecord& port, const Report5C& report)
{
    PortReportRecord& reports = ReportsOf(port);
    const int chan = report.Channel();
    const size_t c = static_cast<size_t>(chan);
    if (chan < kChannels)
        ChannelTimeout[c] = kTimeoutSeconds;
    reports.chanTimeout[c] = kTimeoutSeconds;
    reports.chanPrn[c] = report.prn;
    reports.chanLevel[c] = report.signalLevelAmu;
    reports.chanAzimuthDeg[c] = static_cast<float>(report.azimuthRad * RadToDeg);
    reports.chanElevationDeg[c] = static_cast<float>(report.elevationRad * RadToDeg);
    reports.chanAzimuthRad[c] = report.azimuthRad;
    reports.chanElevationRad[c] = report.elevationRad;
    UpdateLatch(reports, chan, report.prn, report.signalLevelAmu);
    reports.chanReport[c] = report;
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

QString TrackRowText(const Report5C& r)
{
    return QString::asprintf("%3d%3d%4d%5d%4d", r.prn, r.Slot(), r.Channel() + 1, r.acquisitionFlag, r.ephemerisFlag) +
           QString::asprintf("%8.1f%10.1f%6.1f%7.1f", static_cast<double>(r.signalLevelAmu),
                             static_cast<double>(r.lastMeasurementS), r.elevationRad * RadToDeg,
                             r.azimuthRad * RadToDeg) +
           QString::asprintf("%5d%5d%4d%4d", r.oldMeasurementFlag, r.integerMsecFlag, r.badDataFlag,
                             r.dataCollectionFlag);
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
