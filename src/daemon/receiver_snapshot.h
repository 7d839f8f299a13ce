// What the exporter and the alarms know of one port at one moment: plain
// values, each absent until the receiver has reported it, so a receiver that
// never sent a fix shows no position rather than a position of zero.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PortRecord;
struct PortReportRecord;

struct ChannelSnapshot {
    int prn = 0;
    double signalLevel = 0;
    double elevationDeg = 0;
    double azimuthDeg = 0;
    bool used = false; // in the receiver's last list of satellites in the fix
};

// A timing receiver's status (0x8F-AC), in the units the metrics use.
struct TimingSnapshot {
    int receiverMode = 0;
    int discipliningMode = 0;
    double surveyProgressPercent = 0;
    double holdoverS = 0;
    uint16_t criticalAlarms = 0;
    uint16_t minorAlarms = 0;
    double ppsOffsetS = 0;
    double oscillatorOffsetPpb = 0;
    double dacValue = 0;
    double dacVolts = 0;
    double temperatureC = 0;
    double ppsQuantisationS = 0;
};

struct ReceiverSnapshot {
    std::string port;   // "COM1"
    std::string device; // path or URL
    bool open = false;  // the device is open (not lost)
    std::optional<double> lastPacketAgeS; // none before the first packet
    double quietS = 0; // since the last packet, or since the port opened
    uint64_t packets = 0;
    uint64_t bytes = 0;
    uint64_t reconnects = 0;
    std::optional<int> fixDimension; // 0 to 3
    std::optional<int> satellitesUsed;
    std::optional<double> pdop, hdop, vdop, tdop;
    std::optional<int> gpsWeek;
    std::optional<double> timeOfWeekS;
    std::optional<double> latitudeDeg, longitudeDeg, altitudeM;
    std::optional<double> clockBiasS;
    std::optional<double> clockDriftPpb;
    std::vector<ChannelSnapshot> channels; // the channels tracking a satellite now
    std::optional<TimingSnapshot> timing;  // none until the port sent a timing status
};

// The report ids a port has delivered since the daemon started; what the
// store holds for an id never seen is its start value, not a report.
using ReportsSeen = std::bitset<256>;

// The snapshot of one slot from the link and model state.
ReceiverSnapshot SnapshotOf(const PortRecord& port, const PortReportRecord& reports, const ReportsSeen& seen);
