#include "demo_history.h"

#include <algorithm>
#include <filesystem>

#include "link/framing.h"
#include "link/frame_scanner.h"
#include "link/packets.h"
#include "model/history_feed.h"
#include "model/history_store.h"
#include "model/port_reports.h"
#include "sim/receiver_simulator.h"
#include "sim/sim_options.h"

namespace {

std::vector<uint8_t> QueryFrame(CommandKind kind)
{
    Command command;
    command.kind = kind;
    uint8_t message[kMaxPacketMessage];
    const size_t length = EncodeCommand(command, message);
    std::vector<uint8_t> frame(2 * length + 3);
    frame.resize(BuildFrame(message, length, frame.data()));
    return frame;
}

// The fields of the port record the history takes, from one report.
void Take(const ScannedPacket& p, PortReportRecord& r)
{
    Report84 lla2;
    Report4A lla;
    Report56 enu;
    Report6D fix;
    Report6C fixWithCount;
    Report5C track;
    Report5D gnssTrack;
    Report54 clock;
    if (p.id == 0x84 && ParseReport84(p.data, p.length, lla2)) {
        r.positionId = 0x84, r.fixTime = lla2.fixTimeS, r.biasNs = MetresToNs(lla2.clockBiasM);
        r.latDeg = lla2.latRad * RadToDeg, r.lonDeg = lla2.lonRad * RadToDeg, r.altM = lla2.altM;
    } else if (p.id == 0x4A && ParseReport4A(p.data, p.length, lla)) {
        r.positionId = 0x4A, r.fixTime = lla.fixTimeS, r.biasNs = MetresToNs(lla.clockBiasM);
        r.latDeg = lla.latRad * RadToDeg, r.lonDeg = lla.lonRad * RadToDeg, r.altM = lla.altM;
    } else if (p.id == 0x56 && ParseReport56(p.data, p.length, enu)) {
        r.velocityId = 0x56, r.biasRatePpb = static_cast<float>(MetresToNs(enu.biasRateMps));
    } else if (p.id == 0x6D && ParseReport6D(p.data, p.length, fix)) {
        r.statusId = 0x6D, r.fixMode = fix.fixModeBits, r.fix = fix;
        r.pdop = fix.pdop, r.hdop = fix.hdop, r.vdop = fix.vdop, r.tdop = fix.tdop;
    } else if (p.id == 0x6C && ParseReport6C(p.data, p.length, fixWithCount)) { // the timing receiver
        r.fix.fixModeBits = static_cast<uint8_t>((fixWithCount.fixModeBits & 0x0F) | (std::min<int>(fixWithCount.prnCount, 15) << 4));
        r.pdop = fixWithCount.pdop, r.hdop = fixWithCount.hdop, r.vdop = fixWithCount.vdop, r.tdop = fixWithCount.tdop;
    } else if (p.id == 0x54 && ParseReport54(p.data, p.length, clock)) {
        r.satelliteClock = clock, r.satelliteClockSeen = true;
    } else if (p.id == 0x5C && ParseReport5C(p.data, p.length, track)) {
        const size_t channel = static_cast<size_t>(track.channelSlot >> 3) % kTrackChannels;
        r.chanPrn[channel] = track.prn, r.chanLevel[channel] = track.signalLevelAmu, r.chanTimeout[channel] = 5;
    } else if (p.id == 0x5D && ParseReport5D(p.data, p.length, gnssTrack)) {
        const size_t channel = gnssTrack.channel % kTrackChannels;
        r.chanPrn[channel] = gnssTrack.prn, r.chanLevel[channel] = gnssTrack.signalLevelDbHz;
        r.chanTimeout[channel] = 5;
    }
}

} // namespace

std::vector<HistorySample> DemoHistory(int index, int64_t startUnix, int64_t seconds, int64_t lostAt,
                                       int64_t lostSeconds)
{
    const std::vector<uint8_t> queries[] = {QueryFrame(CommandKind::RequestHealth),
                                            QueryFrame(CommandKind::RequestSatSelection),
                                            QueryFrame(CommandKind::RequestTracking)};
    ReceiverSimulator receiver(DemoReceiverOptions(index));
    PortRecord port;
    port.open = 1;
    PortReportRecord reports;
    FrameScanner scanner;
    float lastFix = -1;
    std::vector<HistorySample> samples;
    for (int64_t t = startUnix; t < startUnix + seconds; ++t) {
        const bool lost = lostSeconds > 0 && t >= lostAt && t < lostAt + lostSeconds;
        for (const std::vector<uint8_t>& q : queries)
            receiver.Receive(q.data(), q.size());
        receiver.Advance(1.0);
        const std::vector<uint8_t> bytes = receiver.TakeOutput();
        port.lost = lost ? 1 : 0;
        if (!lost)
            scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) { Take(p, reports); });
        samples.push_back(SampleOfPort(port, reports, t, &lastFix));
    }
    return samples;
}

std::vector<HistorySample> DemoWeek(int64_t startUnix)
{
    const std::vector<HistorySample> day = DemoHistory(0, startUnix, kDaySeconds);
    std::vector<HistorySample> week;
    week.reserve(7 * day.size());
    for (int64_t d = 0; d < 7; ++d)
        for (HistorySample s : day) {
            s.unixSecond += d * kDaySeconds;
            week.push_back(s);
        }
    return week;
}

uint64_t WriteHistory(const std::string& folder, const std::vector<HistorySample>& samples)
{
    {
        HistoryWriter writer(folder, 8);
        for (const HistorySample& s : samples)
            writer.Append(s);
    }
    uint64_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        bytes += entry.file_size();
    return bytes;
}
