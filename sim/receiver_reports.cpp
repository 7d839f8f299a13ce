// The reports of the simulated receiver, built from its state and encoded
// with the packet codec.
#include <cmath>
#include <numbers>

#include "sim/receiver_simulator.h"
#include "sim/rng.h"

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr double kBiasWrapM = 299792.458; // the clock is steered back within 1 ms
constexpr uint8_t kMachineCode = 0x5A;
constexpr uint8_t kHealthDoingFixes = 0;
constexpr uint8_t kHealthNoGpsTime = 1;
constexpr uint8_t kHealthPdopTooHigh = 3;
constexpr uint8_t kHealthNoUsableSats = 8;
constexpr uint8_t kErrorAntenna = 0x10;
constexpr uint8_t kStatusAlmanacIncomplete = 0x08;

// A few metres of smooth wander, the way a fix moves about the truth.
double Wander(double t, double phase)
{
    return 1.2 * std::sin(t / 37.0 + phase) + 0.6 * std::sin(t / 11.0 + 2.0 * phase);
}

} // namespace

TrackPoint ReceiverSimulator::ReportedPlace() const
{
    const double t = gpsSeconds_ - options_.startGpsSeconds;
    TrackPoint p = TrackAt(options_.track, t);
    const double phase = static_cast<double>(options_.seed % 97);
    p.position = MovedBy(p.position, Wander(t, phase), Wander(t, phase + 1.3));
    p.position.altM += 1.5 * Wander(t, phase + 2.1);
    p.velocity.east += 0.03 * std::sin(t / 5.0 + phase);
    p.velocity.north += 0.03 * std::cos(t / 7.0 + phase);
    return p;
}

namespace {

// White phase noise: each whole second draws its own value from the seed, so
// the bias of a given second is the same however the time was advanced.
double ClockNoise(uint64_t seed, double gpsSeconds)
{
    SimRandom rng(seed * 0x2545F4914F6CDD1Dull ^ static_cast<uint64_t>(std::floor(gpsSeconds)));
    const double u1 = 1.0 - rng.Unit(), u2 = rng.Unit(); // Box-Muller, u1 in (0, 1]
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

} // namespace

double ReceiverSimulator::ClockBiasM() const
{
    const double raw = options_.clockBiasM + options_.clockDriftMps * (gpsSeconds_ - options_.startGpsSeconds) +
                       options_.clockNoiseM * ClockNoise(options_.seed, gpsSeconds_);
    return std::remainder(raw, 2 * kBiasWrapM);
}

float ReceiverSimulator::FixTimeOfWeek() const
{
    double tow = std::fmod(std::floor(gpsSeconds_), kSecondsPerWeek);
    if (settings_.ioOptions.timing & 0x01)
        tow = std::fmod(tow - options_.utcOffsetS + kSecondsPerWeek, kSecondsPerWeek);
    return static_cast<float>(tow);
}

void ReceiverSimulator::SendPeriodicReports()
{
    if (options_.timingModel) {
        SendTimingReports();
        return;
    }
    if (HasTime())
        SendTime();
    if (fix_.dimension != 0) {
        SendPosition();
        SendVelocity();
    }
    SendHealth();
}

void ReceiverSimulator::SendPosition()
{
    uint8_t msg[kMaxPacketMessage];
    const TrackPoint p = ReportedPlace();
    const uint8_t o = settings_.ioOptions.position;
    const bool twice = o & 0x10;
    const float tow = FixTimeOfWeek();
    if (o & 0x02) {
        const double alt = (o & 0x04) ? p.position.altM - options_.geoidSeparationM : p.position.altM;
        if (twice)
            Emit(msg, EncodeReport84({p.position.latRad, p.position.lonRad, alt, ClockBiasM(), tow}, msg));
        else
            Emit(msg, EncodeReport4A({static_cast<float>(p.position.latRad), static_cast<float>(p.position.lonRad),
                                      static_cast<float>(alt), static_cast<float>(ClockBiasM()), tow},
                                     msg));
    }
    if (o & 0x01) {
        const Ecef e = GeodeticToEcef(p.position);
        if (twice)
            Emit(msg, EncodeReport83({e.x, e.y, e.z, ClockBiasM(), tow}, msg));
        else
            Emit(msg, EncodeReport42({static_cast<float>(e.x), static_cast<float>(e.y), static_cast<float>(e.z), tow},
                                     msg));
    }
}

void ReceiverSimulator::SendVelocity()
{
    uint8_t msg[kMaxPacketMessage];
    const TrackPoint p = ReportedPlace();
    const float rate = static_cast<float>(options_.clockDriftMps);
    const float tow = FixTimeOfWeek();
    if (settings_.ioOptions.velocity & 0x02)
        Emit(msg, EncodeReport56({static_cast<float>(p.velocity.east), static_cast<float>(p.velocity.north),
                                  static_cast<float>(p.velocity.up), rate, tow},
                                 msg));
    if (settings_.ioOptions.velocity & 0x01) {
        const Ecef v = LocalFrame(p.position).ToEcef(p.velocity);
        Emit(msg, EncodeReport43({static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z), rate,
                                  tow},
                                 msg));
    }
}

void ReceiverSimulator::SendTime()
{
    uint8_t msg[kMaxPacketMessage];
    Report41 r;
    if (HasTime()) {
        r.week = static_cast<uint16_t>(std::floor(gpsSeconds_ / kSecondsPerWeek));
        r.timeOfWeekS = static_cast<float>(gpsSeconds_ - r.week * kSecondsPerWeek);
        r.utcOffsetS = static_cast<float>(options_.utcOffsetS);
    } else {
        r.timeOfWeekS = -1.0f; // no time yet: a negative time of week, week 0
    }
    Emit(msg, EncodeReport41(r, msg));
}

void ReceiverSimulator::SendHealth()
{
    uint8_t msg[kMaxPacketMessage];
    Report46 health;
    if (!HasTime())
        health.statusCode = kHealthNoGpsTime;
    else if (fix_.dimension != 0)
        health.statusCode = kHealthDoingFixes;
    else
        health.statusCode = NoFixHealth();
    health.errorBits = options_.antennaFault ? kErrorAntenna : 0;
    Emit(msg, EncodeReport46(health, msg));

    Report4B status;
    status.machineCode = kMachineCode;
    status.statusBits = systemData_.AlmanacComplete() ? 0 : kStatusAlmanacIncomplete;
    Emit(msg, EncodeReport4B(status, msg));
}

uint8_t ReceiverSimulator::NoFixHealth() const
{
    size_t usable = 0;
    for (const ChannelState& c : tracker_.Channels())
        if (c.acquired && c.look.elevationRad >= settings_.gps.elevationMaskRad &&
            c.levelAmu >= settings_.gps.signalMaskAmu)
            ++usable;
    // Enough satellites but no fix: either still settling after a start, or bad geometry.
    if (usable >= 4)
        return SinceRestart() < options_.firstFixSeconds ? kHealthNoUsableSats + 3 : kHealthPdopTooHigh;
    return static_cast<uint8_t>(kHealthNoUsableSats + usable);
}

void ReceiverSimulator::SendVersion()
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport45({{2, 14, 9, 12, 25}, {2, 3, 6, 30, 25}}, msg));
}

void ReceiverSimulator::SendFixMode()
{
    uint8_t msg[kMaxPacketMessage];
    Report6D r;
    const bool manual = settings_.gps.receiverMode == 3 || settings_.gps.receiverMode == 4;
    const size_t count = std::min<size_t>(fix_.prns.size(), 15);
    r.fixModeBits = static_cast<uint8_t>((fix_.dimension & 0x07) | (manual ? 0x08 : 0) | (count << 4));
    r.pdop = static_cast<float>(fix_.dops.pdop);
    r.hdop = static_cast<float>(fix_.dops.hdop);
    r.vdop = static_cast<float>(fix_.dops.vdop);
    r.tdop = static_cast<float>(fix_.dops.tdop);
    r.prnCount = static_cast<uint16_t>(count);
    for (size_t i = 0; i < count; ++i)
        r.prns[i] = static_cast<int8_t>(fix_.prns[i]);
    Emit(msg, EncodeReport6D(r, msg));
}

void ReceiverSimulator::SendTracking()
{
    uint8_t msg[kMaxPacketMessage];
    const auto& channels = tracker_.Channels();
    for (size_t ch = 0; ch < channels.size(); ++ch) {
        const ChannelState& c = channels[ch];
        if (c.prn == 0)
            continue;
        Report5C r;
        r.prn = static_cast<uint8_t>(c.prn);
        r.channelSlot = static_cast<uint8_t>(ch << 3);
        r.acquisitionFlag = c.acquired ? 1 : 0;
        r.ephemerisFlag = systemData_.HasEphemeris(c.prn) ? 1 : 0;
        r.signalLevelAmu = static_cast<float>(c.levelAmu);
        r.lastMeasurementS = c.acquired ? static_cast<float>(std::fmod(std::floor(gpsSeconds_), kSecondsPerWeek)) : 0;
        r.elevationRad = static_cast<float>(c.look.elevationRad);
        r.azimuthRad = static_cast<float>(c.look.azimuthRad);
        r.integerMsecFlag = c.acquired ? 1 : 0;
        r.dataCollectionFlag = c.acquired && !systemData_.HasEphemeris(c.prn) ? 1 : 0;
        Emit(msg, EncodeReport5C(r, msg));
    }
}

void ReceiverSimulator::SendDgpsMode()
{
    // No correction source is simulated: automatic mode reports corrections off.
    uint8_t msg[kMaxPacketMessage];
    const uint8_t mode = settings_.gps.dgpsMode;
    Emit(msg, EncodeReport82({static_cast<uint8_t>(mode >= 2 ? 2 : mode)}, msg));
}

void ReceiverSimulator::SendIoOptions()
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport55(settings_.ioOptions, msg));
}

void ReceiverSimulator::SendFilters()
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport70(settings_.filters, msg));
}

void ReceiverSimulator::SendDatum()
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport8F15({settings_.datum}, msg));
}

void ReceiverSimulator::SendGpsConfig()
{
    uint8_t msg[kMaxPacketMessage];
    ReportBB r;
    r.config = settings_.gps;
    Emit(msg, EncodeReportBB(r, msg));
}

void ReceiverSimulator::SendSerialConfig(uint8_t port)
{
    if (port >= kReceiverPorts)
        return;
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReportBC(settings_.serial[port], msg));
}

void ReceiverSimulator::SendSystemData(uint8_t operation, uint8_t type, uint8_t sv, const std::vector<uint8_t>& data)
{
    uint8_t msg[kMaxPacketMessage];
    Report58 r;
    r.operation = operation;
    r.dataType = type;
    r.sv = sv;
    r.dataLength = static_cast<uint8_t>(std::min(data.size(), r.data.size()));
    std::copy(data.begin(), data.begin() + r.dataLength, r.data.begin());
    Emit(msg, EncodeReport58(r, msg));
}

void ReceiverSimulator::SendTimeAnswer(bool accepted)
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport4E({static_cast<uint8_t>(accepted ? 'Y' : 'N')}, msg));
}

void ReceiverSimulator::SendSaveConfirmation()
{
    uint8_t msg[kMaxPacketMessage];
    Emit(msg, EncodeReport8F26({}, msg));
}
