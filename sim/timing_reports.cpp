// The timing model's reports: time and status once a second, multi-GNSS
// channels and the satellites in the fix. The receiver stands still at its
// place; after its self-survey it holds the position and times from every
// satellite.
#include <algorithm>
#include <array>
#include <cmath>

#include "link/gnss_reports.h"
#include "sim/receiver_simulator.h"

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr uint8_t kModeAuto = 0;
constexpr uint8_t kModeOverdetermined = 7;
constexpr uint8_t kActivityPhaseLocking = 0;
constexpr uint8_t kActivityWarmingUp = 1;
constexpr uint16_t kMinorNotTracking = 0x0008;
constexpr uint16_t kMinorSurveying = 0x0020;
constexpr uint8_t kDecodingFixes = 0;
constexpr uint8_t kDecodingNoSatellites = 8;
constexpr double kWarmUpSeconds = 20;

// A few nanoseconds of PPS wander and a fraction of a ppb of oscillator
// offset, smooth under the seed.
double PpsWanderNs(double t, double phase) { return 4.0 * std::sin(t / 23.0 + phase) + 1.5 * std::sin(t / 5.3); }
double OscillatorPpb(double t, double phase) { return 0.4 * std::sin(t / 71.0 + phase) + 0.05 * std::sin(t / 9.0); }
// Warms up by a few degrees over the first quarter of an hour, then breathes.
double TemperatureC(double t) { return 31.0 + 4.0 * (1 - std::exp(-t / 900.0)) + 0.3 * std::sin(t / 300.0); }

// Year, month and day of a day counted from 1970-01-01 (proleptic Gregorian).
std::array<long long, 3> CivilDate(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2), m, d};
}
constexpr long long kGpsEpochDays = 3657; // 1980-01-06 counted from 1970-01-01

// The level in dB-Hz a multi-GNSS receiver reports for the simulated AMU.
float DbHz(double amu) { return amu <= 0 ? 0.0f : static_cast<float>(std::min(52.0, 24.0 + 1.6 * amu)); }

} // namespace

void ReceiverSimulator::SendTimingReports()
{
    SendTimingTime();
    SendTimingStatus();
    SendGnssTracking();
    SendFixWithCount();
    SendSatelliteClock();
}

void ReceiverSimulator::SendTimingTime()
{
    uint8_t msg[kMaxPacketMessage];
    Report8FAB r;
    const double whole = std::floor(gpsSeconds_);
    r.week = static_cast<uint16_t>(std::floor(whole / kSecondsPerWeek));
    r.timeOfWeekS = static_cast<uint32_t>(whole - r.week * kSecondsPerWeek);
    r.utcOffsetS = static_cast<int16_t>(options_.utcOffsetS);
    if (!HasTime())
        r.timingFlags |= kTimingNotSet;
    // The broken-down date in GPS time (flag bit 0 clear), from 1980-01-06.
    const double days = std::floor(whole / 86400.0);
    const double inDay = whole - days * 86400.0;
    const auto ymd = CivilDate(static_cast<long long>(days) + kGpsEpochDays);
    r.year = static_cast<uint16_t>(ymd[0]);
    r.month = static_cast<uint8_t>(ymd[1]);
    r.day = static_cast<uint8_t>(ymd[2]);
    r.hours = static_cast<uint8_t>(inDay / 3600);
    r.minutes = static_cast<uint8_t>(std::fmod(inDay / 60, 60));
    r.seconds = static_cast<uint8_t>(std::fmod(inDay, 60));
    Emit(msg, EncodeReport8FAB(r, msg));
}

void ReceiverSimulator::SendTimingStatus()
{
    uint8_t msg[kMaxPacketMessage];
    const double t = SinceRestart();
    const double phase = static_cast<double>(options_.seed % 97);
    const bool fixing = fix_.dimension != 0;
    const double survey = fixing ? std::min(100.0, 100.0 * t / options_.surveySeconds) : 0;
    Report8FAC r;
    r.surveyProgress = static_cast<uint8_t>(survey);
    r.receiverMode = r.surveyProgress >= 100 ? kModeOverdetermined : kModeAuto;
    r.discipliningActivity = t < kWarmUpSeconds ? kActivityWarmingUp : kActivityPhaseLocking;
    r.minorAlarms = static_cast<uint16_t>((fixing ? 0 : kMinorNotTracking) | (r.surveyProgress < 100 ? kMinorSurveying : 0));
    r.decodingStatus = fixing ? kDecodingFixes : kDecodingNoSatellites;
    r.ppsOffsetNs = static_cast<float>(PpsWanderNs(gpsSeconds_, phase));
    r.clockOffsetPpb = static_cast<float>(OscillatorPpb(gpsSeconds_, phase));
    r.dacValue = static_cast<uint32_t>(32768 + 4000 * r.clockOffsetPpb);
    r.dacVoltage = static_cast<float>(r.dacValue * 5.0 / 65536.0);
    r.temperatureC = static_cast<float>(TemperatureC(t));
    r.ppsQuantisationNs = static_cast<float>(8.0 * std::sin(gpsSeconds_ * 2.7));
    if (fixing) {
        const Geodetic& p = options_.track.centre;
        r.latRad = p.latRad, r.lonRad = p.lonRad, r.altM = p.altM;
    }
    Emit(msg, EncodeReport8FAC(r, msg));
}

void ReceiverSimulator::SendGnssTracking()
{
    uint8_t msg[kMaxPacketMessage];
    const auto& channels = tracker_.Channels();
    for (size_t ch = 0; ch < channels.size(); ++ch) {
        const ChannelState& c = channels[ch];
        if (c.prn == 0)
            continue;
        Report5D r;
        r.prn = static_cast<uint8_t>(c.prn);
        r.channel = static_cast<uint8_t>(ch);
        r.acquisitionFlag = c.acquired ? 1 : 0;
        r.usedInFix = std::find(fix_.prns.begin(), fix_.prns.end(), c.prn) != fix_.prns.end() ? 1 : 0;
        r.signalLevelDbHz = DbHz(c.levelAmu);
        r.lastMeasurementS = static_cast<float>(std::fmod(std::floor(gpsSeconds_), kSecondsPerWeek));
        r.elevationRad = static_cast<float>(c.look.elevationRad);
        r.azimuthRad = static_cast<float>(c.look.azimuthRad);
        r.dataCollectionFlag = 1;
        r.usageFlags = r.usedInFix ? 3 : 0;
        r.system = static_cast<uint8_t>(GnssSystem::Gps);
        Emit(msg, EncodeReport5D(r, msg));
    }
}

// Holding its position, the receiver solves for time alone: its clock bias
// comes in 0x54, not in a position report.
void ReceiverSimulator::SendSatelliteClock()
{
    if (fix_.dimension == 0)
        return;
    uint8_t msg[kMaxPacketMessage];
    const Report54 r{static_cast<float>(ClockBiasM()), static_cast<float>(options_.clockDriftMps), FixTimeOfWeek()};
    Emit(msg, EncodeReport54(r, msg));
}

void ReceiverSimulator::SendFixWithCount()
{
    uint8_t msg[kMaxPacketMessage];
    Report6C r;
    const size_t count = std::min<size_t>(fix_.prns.size(), r.prns.size());
    // Over-determined clock once surveyed: position held, no DOPs but the time's.
    r.fixModeBits = fix_.dimension == 0 ? 0 : 5;
    r.tdop = static_cast<float>(fix_.dops.tdop);
    r.prnCount = static_cast<uint8_t>(count);
    for (size_t i = 0; i < count; ++i)
        r.prns[i] = static_cast<uint8_t>(fix_.prns[i]);
    Emit(msg, EncodeReport6C(r, msg));
}
