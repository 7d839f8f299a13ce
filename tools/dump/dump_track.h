// The position reports of a recording as a track: CSV rows, GPX or KML.
// Time, velocity, fix mode and DOPs come from the latest report of their
// kind before each position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dump_options.h"

struct CompactFix;

struct TrackPoint {
    int report = 0; // 0x42, 0x4A, 0x83, 0x84, or 0x8F20, 0x8F23, 0x8FAC for the 0x8F reports
    double fixTime = 0;
    double latDeg = 0, lonDeg = 0, altM = 0; // ECEF reports converted (WGS-84)
    std::optional<int> week;                 // of the latest time report
    std::optional<int> receivedWeek;         // a compact fix's own week as received, when it differs
    std::optional<double> tow;
    std::optional<double> unixTime; // UTC of the fix, when a week is known
    std::optional<double> velEast, velNorth, velUp;
    std::optional<int> fixDimension, svCount;
    std::optional<double> pdop, hdop, vdop, tdop;
    std::optional<double> clockBiasS; // of 0x4A, 0x83 and 0x84
};

class TrackWriter {
public:
    virtual ~TrackWriter() = default;
    virtual void Begin(std::string& out) = 0;
    // Takes what the packet reports; a position report appends its point.
    void OnPacket(int id, const uint8_t* data, size_t length, std::string& out);
    virtual void End(std::string& out) = 0;

protected:
    virtual void WritePoint(const TrackPoint& p, std::string& out) = 0;
    // A clock report without a position (0x54): only the stability table wants it.
    virtual void TakeClock(double /*fixTime*/, double /*clockBiasS*/) {}

private:
    // Time, I/O options, velocity and fix reports: kept for the next point. False for other ids.
    bool TakeContext(int id, const uint8_t* data, size_t length);
    void AddPoint(int report, double fixTime, std::string& out);
    bool TakeNewerPosition(int id, const uint8_t* data, size_t length, std::string& out);
    void AddCompactPoint(int report, const CompactFix& fix, std::string& out);

    TrackPoint latest_; // what the next position report carries besides its own values
    double utcOffset_ = 0;
    bool utcTimeScale_ = false; // times of fix in UTC, not GPS (I/O options)
    enum class Velocity { None, Enu, Ecef } velocityKind_ = Velocity::None;
    double vel_[3] = {};
};

// A writer for --csv, --gpx or --kml; null for the line outputs.
std::unique_ptr<TrackWriter> MakeTrackWriter(DumpOutput output);
// The clock stability table, written at the end (dump_stability.cpp).
std::unique_ptr<TrackWriter> MakeStabilityWriter(bool csv);
