// The last decoded values of every port's reports. Written only by the
// report decoders; read by the data logger and the satellite panels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/gnss_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

// Channels shown in the main window and written to the data log.
constexpr int kChannels = 8;
// Channels a receiver may report (0..31; 0x5C reaches 0..11, multi-GNSS receivers
// more); the views beyond the main window show them all.
constexpr int kTrackChannels = 32;
// chanSystem of a channel reported by 0x5C, which names no satellite system.
constexpr uint8_t kNoSystem = 0xFF;

// Position reports beyond the classic ones, kept in positionId by their sub-id.
constexpr uint8_t kPositionFrom8F20 = 0x20;
constexpr uint8_t kPositionFrom8F23 = 0x23;
constexpr uint8_t kPositionFrom8FAC = 0xAC;
// timeId and productId of the newer reports.
constexpr uint8_t kTimeFrom8FAB = 0xAB;
constexpr uint8_t kProductFrom1C = 0x1C;

inline std::array<uint8_t, kTrackChannels> MakeNoSystems()
{
    std::array<uint8_t, kTrackChannels> a;
    a.fill(kNoSystem);
    return a;
}

struct PortReportRecord {
    // Position and velocity reports.
    uint8_t positionId = 0; // the last position report's id (0x42, 0x4A, 0x83, 0x84, or kPositionFrom*; 0 before any)
    uint8_t velocityId = 0; // the last velocity report's id (0x43, 0x56, or 0x20/0x23 for the compact fixes, ENU)
    uint16_t fixWeek = 0;   // the week a compact fix carried, as received (0 for the other reports)
    float fixTime = 0;
    double ecefX = 0, ecefY = 0, ecefZ = 0;
    double latDeg = 0, lonDeg = 0, altM = 0;
    double latRad = 0, lonRad = 0; // as received, for the change of position
    double biasNs = 0;
    float biasRatePpb = 0;
    float biasRateMps = 0; // as received; the windows show it in ns/s unrounded
    float velX = 0, velY = 0, velZ = 0;
    float velEast = 0, velNorth = 0, velUp = 0;
    // Health and status reports.
    uint8_t fixMode = 0;
    uint8_t healthCode = 0;
    uint8_t healthErrors = 0;
    uint8_t statusFlags = 0;
    uint8_t dgpsMode = 0;
    uint8_t statusId = 0; // the last status report's id (0x46, 0x4B, 0x6D, 0x82)
    float pdop = 0, hdop = 0, vdop = 0, tdop = 0;
    std::array<int32_t, kChannels> fixSvs = {};
    // Every satellite of the last 0x6D or 0x6C (up to kTrackChannels), for the in-fix marks.
    std::array<int32_t, kTrackChannels> fixSatellites = {};
    Report6D fix;             // the last 0x6D whole: the tracking window lists every satellite of the fix
    // Tracking status, per channel.
    std::array<uint8_t, kTrackChannels> chanPrn = {};
    std::array<float, kTrackChannels> chanLevel = {};
    std::array<float, kTrackChannels> chanAzimuthDeg = {};
    std::array<float, kTrackChannels> chanElevationDeg = {};
    // As received, for the main window's rows (degrees with one decimal, unrounded before).
    std::array<float, kTrackChannels> chanAzimuthRad = {};
    std::array<float, kTrackChannels> chanElevationRad = {};
    // Seconds left before the channel counts as no longer tracked (0: not tracked).
    std::array<int32_t, kTrackChannels> chanTimeout = {};
    std::array<uint8_t, kTrackChannels> latchedPrn = {};
    std::array<float, kTrackChannels> latchedLevel = {};
    std::array<uint8_t, kTrackChannels> latchRestart = {};
    std::array<uint8_t, kTrackChannels> chanSystem = MakeNoSystems(); // GnssSystem from 0x5D; level then in dB-Hz
    // 0x54: one satellite's clock bias, as received (a timing receiver's only
    // clock report once it holds its position).
    Report54 satelliteClock;
    bool satelliteClockSeen = false;
    // Timing receivers: 0x8F-AB (every port) and 0x8F-AC (timingStatusSeen stays
    // false for a port that never sent one).
    uint8_t timeId = 0; // the last time report: 0x41 or kTimeFrom8FAB
    Report8FAB timing;
    bool timingStatusSeen = false;
    Report8FAC timingStatus;
    std::array<Report5C, kTrackChannels> chanReport = {}; // the last report of each channel whole
    std::array<Report5D, kTrackChannels> chanGnssReport = {}; // the same of a multi-GNSS channel
    // Reports of the display port only.
    uint16_t gpsWeek = 0;
    float timeOfWeekS = 0;
    float utcOffsetS = 0;
    uint8_t timeAnswer = 0; // the answer to a set-GPS-time command: 'Y' accepted, anything else refused
    FirmwareVersion navigation, signal;
    uint8_t productId = 0; // the last product report: 0x45 or kProductFrom1C
    Report1C81 firmware;
    Report1C83 hardware;
};

// The classic position reports but 0x42 carry the clock bias; the newer ones do not.
inline bool CarriesBias(uint8_t positionId)
{
    return positionId == 0x4A || positionId == 0x83 || positionId == 0x84;
}
// The receiver clock of the latest fix: from a position report that carries
// it, else from a 0x54. Bias rate NaN when the report has none.
struct ClockReading {
    double biasNs = 0;
    double biasRatePpb = 0;
    float fixTime = 0;
};
std::optional<ClockReading> LatestClock(const PortReportRecord& reports);
// True when the satellite is in the port's last fix list.
bool InFixSet(const PortReportRecord& reports, int32_t prn);
// Firmware from 1.12 on (either number on its own) supports datums.
inline bool SupportsDatums(const FirmwareVersion& navigation) { return navigation.major >= 2 || navigation.minor >= 12; }

extern std::array<PortReportRecord, kPortSlots> PortReports;

// The one radians-to-degrees factor of the program (180 / 3.1415927), and its inverse.
constexpr double RadToDeg = 57.29577866666166;
constexpr double DegToRad = 0.01745329277777778;

// Metres (per second) of clock bias (rate) to nanoseconds (per second).
inline double MetresToNs(double metres) { return metres * 1e9 * (1.0 / 299792458.0); }
