// Reports that today's timing, compact-fix and multi-GNSS receivers send
// beside the classic set: plain structs with their parse functions (and
// encoders for the ones the simulator sends). Same conventions as packets.h:
// data bytes after the id, the 0x8F/0x1C sub-id counted as byte 0, exact
// lengths refused otherwise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/packets.h"

// True for the ids whose first data byte tells reports apart (0x8F, 0x1C).
inline bool HasSubId(int id) { return id == 0x8F || id == 0x1C; }
// The sub-id to look a packet up by: data[0] for those ids, -1 otherwise.
inline int SubIdOf(int id, const uint8_t* data, size_t length)
{
    return HasSubId(id) && length > 0 ? data[0] : -1;
}

struct Report8FAB {          // timing: GPS week and second, broken-down date
    uint32_t timeOfWeekS = 0;
    uint16_t week = 0;
    int16_t utcOffsetS = 0;
    uint8_t timingFlags = 0; // see the kTiming* bits
    uint8_t seconds = 0, minutes = 0, hours = 0, day = 0, month = 0;
    uint16_t year = 0;

    bool operator==(const Report8FAB&) const = default;
};
constexpr uint8_t kTimingDateIsUtc = 0x01;   // the broken-down date is UTC (week and second stay GPS)
constexpr uint8_t kTimingPpsIsUtc = 0x02;
constexpr uint8_t kTimingNotSet = 0x04;
constexpr uint8_t kTimingNoUtcOffset = 0x08;
constexpr uint8_t kTimingUserSet = 0x10;

struct Report8FAC {          // supplementary timing: status, clock and position
    uint8_t receiverMode = 0;
    uint8_t discipliningMode = 0;
    uint8_t surveyProgress = 0; // %
    uint32_t holdoverS = 0;
    uint16_t criticalAlarms = 0;
    uint16_t minorAlarms = 0;
    uint8_t decodingStatus = 0;
    uint8_t discipliningActivity = 0;
    float ppsOffsetNs = 0;
    float clockOffsetPpb = 0;
    uint32_t dacValue = 0;
    float dacVoltage = 0;
    float temperatureC = 0;
    double latRad = 0, lonRad = 0, altM = 0;
    float ppsQuantisationNs = 0;

    bool operator==(const Report8FAC&) const = default;
};

// 0x8F-20 and 0x8F-23: a fix in semicircles and millimetres with velocity in
// small steps; both parse into this one shape.
struct CompactFix {
    uint32_t timeOfWeekMs = 0;
    uint16_t week = 0;       // as received: old receivers count modulo 1024
    uint8_t utcOffsetS = 0;
    uint8_t fixFlags = 0;
    int32_t latSemicircles = 0;
    uint32_t lonSemicircles = 0;
    int32_t altMm = 0;
    std::array<int16_t, 3> velocitySteps = {}; // east, north, up
    bool coarseVelocity = false; // steps of 0.02 m/s rather than 0.005
    int svCount = -1;        // satellites in the fix; -1 when the report has none

    double LatDeg() const;
    double LonDeg() const;   // -180..180
    double AltM() const { return altMm / 1000.0; }
    double VelocityMps(size_t axis) const;
    double TimeOfWeekS() const { return timeOfWeekMs / 1000.0; }

    bool operator==(const CompactFix&) const = default;
};

struct Report6C {            // fix mode, DOPs and the satellites in the fix, with a count byte
    uint8_t fixModeBits = 0; // bits 0-2 dimension code
    float pdop = 0, hdop = 0, vdop = 0, tdop = 0;
    uint8_t prnCount = 0;
    std::array<uint8_t, 255> prns = {};

    int DimensionCode() const { return fixModeBits & 0x07; }

    bool operator==(const Report6C&) const = default;
};
constexpr size_t kReport6CFixedBytes = 18;

enum class GnssSystem : uint8_t { Gps = 0, Glonass = 1, BeiDou = 2, Galileo = 3, Qzss = 4, Sbas = 6 };

struct Report5D {            // one channel of a multi-GNSS receiver
    uint8_t prn = 0;
    uint8_t channel = 0;
    uint8_t acquisitionFlag = 0;
    uint8_t usedInFix = 0;
    float signalLevelDbHz = 0;
    float lastMeasurementS = 0;
    float elevationRad = 0;
    float azimuthRad = 0;
    uint8_t oldMeasurementFlag = 0;
    uint8_t integerMsecFlag = 0;
    uint8_t badDataFlag = 0;
    uint8_t dataCollectionFlag = 0;
    uint8_t usageFlags = 0;
    uint8_t system = 0;      // GnssSystem

    bool operator==(const Report5D&) const = default;
};

struct Report54 {            // one-satellite clock bias
    float biasM = 0;
    float biasRateMps = 0;
    float fixTimeS = 0;

    bool operator==(const Report54&) const = default;
};

struct Report1C81 {          // firmware version
    uint8_t major = 0, minor = 0, build = 0;
    uint8_t month = 0, day = 0;
    uint16_t year = 0;
    std::string productName;

    bool operator==(const Report1C81&) const = default;
};

struct Report1C83 {          // hardware version
    uint32_t serialNumber = 0;
    uint8_t buildDay = 0, buildMonth = 0;
    uint16_t buildYear = 0;
    uint8_t buildHour = 0;
    uint16_t hardwareCode = 0;
    std::string hardwareName;

    bool operator==(const Report1C83&) const = default;
};

bool ParseReport8FAB(const uint8_t* data, size_t len, Report8FAB& out);
bool ParseReport8FAC(const uint8_t* data, size_t len, Report8FAC& out);
bool ParseReport8F20(const uint8_t* data, size_t len, CompactFix& out);
bool ParseReport8F23(const uint8_t* data, size_t len, CompactFix& out);
bool ParseReport6C(const uint8_t* data, size_t len, Report6C& out);
bool ParseReport5D(const uint8_t* data, size_t len, Report5D& out);
bool ParseReport54(const uint8_t* data, size_t len, Report54& out);
bool ParseReport1C81(const uint8_t* data, size_t len, Report1C81& out);
bool ParseReport1C83(const uint8_t* data, size_t len, Report1C83& out);

size_t EncodeReport8FAB(const Report8FAB& r, uint8_t* msg);
size_t EncodeReport8FAC(const Report8FAC& r, uint8_t* msg);
size_t EncodeReport6C(const Report6C& r, uint8_t* msg);
size_t EncodeReport5D(const Report5D& r, uint8_t* msg);
size_t EncodeReport54(const Report54& r, uint8_t* msg);

// "G25", "R07", "E11": the system letter and the satellite's number within
// its system. GLONASS satellites arrive numbered 65..96 (slot + 64).
std::string SatelliteLabel(uint8_t system, uint8_t prn);
// The system of a bare satellite number as the fix lists carry it
// (GLONASS 65..96, the rest GPS).
uint8_t SystemOfFixPrn(int prn);
