// The last decoded values of every port's reports. Written only by the
// report decoders; read by the data logger and the satellite panels.
#pragma once

#include <array>
#include <cstdint>

#include "link/packets.h"
#include "link/port_table.h"

// Channels shown in the main window and written to the data log.
constexpr int kChannels = 8;
// Channels a receiver may report (0..11); the views beyond the main window show them all.
constexpr int kTrackChannels = 12;

struct PortReportRecord {
    // Position and velocity reports.
    uint8_t positionId = 0; // the last position report's id (0x42, 0x4A, 0x83, 0x84; 0 before any)
    uint8_t velocityId = 0; // the last velocity report's id (0x43, 0x56)
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
    std::array<Report5C, kTrackChannels> chanReport = {}; // the last report of each channel whole
    // Reports of the display port only.
    uint16_t gpsWeek = 0;
    float timeOfWeekS = 0;
    float utcOffsetS = 0;
    uint8_t timeAnswer = 0; // the answer to a set-GPS-time command: 'Y' accepted, anything else refused
    FirmwareVersion navigation, signal;
};

// Every position report but 0x42 carries the clock bias.
inline bool CarriesBias(uint8_t positionId) { return positionId != 0 && positionId != 0x42; }
// Firmware from 1.12 on (either number on its own) supports datums.
inline bool SupportsDatums(const FirmwareVersion& navigation) { return navigation.major >= 2 || navigation.minor >= 12; }

extern std::array<PortReportRecord, kPortSlots> PortReports;

// The one radians-to-degrees factor of the program (180 / 3.1415927), and its inverse.
constexpr double RadToDeg = 57.29577866666166;
constexpr double DegToRad = 0.01745329277777778;

// Metres (per second) of clock bias (rate) to nanoseconds (per second).
inline double MetresToNs(double metres) { return metres * 1e9 * (1.0 / 299792458.0); }
