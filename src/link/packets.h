// Plain structs for the reports and commands of the protocol, with their
// parse and encode functions: the one place that knows byte offsets.
//
// Parse functions take the data bytes after the id (as the receive parser
// leaves them in PortRecord::data / length) and refuse any length other than
// the report's own. Encode functions write the whole message, id first, and
// return its length; the caller's buffer must hold kMaxPacketMessage bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- records
// Records shared by a set command and the report that mirrors it.

// Packet 0xBB (subcode 3): navigation settings, in message order.
struct GpsConfigRecord {
    uint8_t receiverMode = 0;    // 0 auto 2D/3D, 3 horizontal 2D, 4 full position 3D
    uint8_t dgpsMode = 0;        // 0 off, 1 DGPS only, 2 and 3 auto
    uint8_t dynamicsCode = 0;    // 1 land, 2 sea, 3 air, 4 stationary
    float elevationMaskRad = 0;  // lowest satellite elevation for fixes, radians
    float signalMaskAmu = 0;     // minimum signal level for fixes, AMU
    float pdopMask = 0;          // maximum DOP for fixes
    float pdopSwitch = 0;        // DOP at which 3D falls back to 2D
    uint8_t dgpsAgeLimitS = 0;   // maximum age of a DGPS correction, seconds

    bool operator==(const GpsConfigRecord&) const = default;
};

// Packet 0xBC: serial settings of one receiver port, in the order the
// dialog hands them over (codes as in the line-setting code tables).
struct SerialConfigRecord {
    uint8_t receiverPort = 0;
    uint8_t baudCode = 7;        // 6 = 4800 ... 9 = 38400
    uint8_t dataBitsCode = 3;    // 3 = 8 bits
    uint8_t parityCode = 1;      // 0 none, 1 odd, 2 even
    uint8_t stopBitsCode = 0;    // 0 = 1 stop bit, 1 = 2
    uint8_t inputProtocol = 2;   // 2 = ZELK
    uint8_t outputProtocol = 2;  // 2 = ZELK, 4 = NMEA
    uint8_t reserved = 0;

    bool operator==(const SerialConfigRecord&) const = default;
};

// Packets 0x35 (set) and 0x55 (report): the four I/O option bytes.
struct IoOptionsRecord {
    uint8_t position = 0; // 0x01 ECEF, 0x02 LLA, 0x04 MSL out, 0x08 MSL in, 0x10 double
    uint8_t velocity = 0; // 0x01 ECEF, 0x02 ENU
    uint8_t timing = 0;   // 0x01 UTC (clear: GPS time)
    uint8_t reserved = 0;

    bool operator==(const IoOptionsRecord&) const = default;
};

// Packet 0x70 (set and report): filter switches, nonzero = on.
struct FilterRecord {
    uint8_t positionVelocity = 0;
    uint8_t staticFilter = 0;
    uint8_t altitude = 0;
    uint8_t reserved = 0;

    bool operator==(const FilterRecord&) const = default;
};

// ---------------------------------------------------------------- reports

constexpr size_t kMaxReportData = 511;       // data bytes after the id, at most
constexpr size_t kReport6DFixedBytes = 17;   // 0x6D before its PRN list
constexpr size_t kMaxFixPrns = kMaxReportData - kReport6DFixedBytes;
constexpr size_t kMaxSystemData = 255;
constexpr size_t kMaxPacketMessage = 1 + kMaxReportData; // id and data

struct Report41 {            // GPS time
    float timeOfWeekS = 0;
    uint16_t week = 0;
    float utcOffsetS = 0;    // GPS time minus UTC

    bool operator==(const Report41&) const = default;
};

struct Report42 {            // single-precision ECEF position
    float xM = 0, yM = 0, zM = 0;
    float fixTimeS = 0;      // seconds of the week

    bool operator==(const Report42&) const = default;
};

struct Report43 {            // ECEF velocity
    float velXMps = 0, velYMps = 0, velZMps = 0;
    float biasRateMps = 0;
    float fixTimeS = 0;

    bool operator==(const Report43&) const = default;
};

struct FirmwareVersion {
    uint8_t major = 0, minor = 0;
    uint8_t month = 0, day = 0, yearSince2000 = 0;

    bool operator==(const FirmwareVersion&) const = default;
};

struct Report45 {            // software versions
    FirmwareVersion navigation;
    FirmwareVersion signal;

    bool operator==(const Report45&) const = default;
};

struct Report46 {            // health
    uint8_t statusCode = 0;
    uint8_t errorBits = 0;   // 0x01 BBRAM not available at start, 0x10 antenna fault

    bool operator==(const Report46&) const = default;
};

struct Report4A {            // single-precision LLA position
    float latRad = 0, lonRad = 0;
    float altM = 0;
    float clockBiasM = 0;
    float fixTimeS = 0;

    bool operator==(const Report4A&) const = default;
};

struct Report4B {            // machine code and status
    uint8_t machineCode = 0;
    uint8_t statusBits = 0;  // 0x02 RTC not available at start, 0x08 almanac incomplete
    uint8_t reserved = 0;

    bool operator==(const Report4B&) const = default;
};

struct Report4E {            // reply to set-GPS-time
    uint8_t answer = 0;      // 'Y' accepted, anything else refused

    bool operator==(const Report4E&) const = default;
};

using Report55 = IoOptionsRecord;

struct Report56 {            // east/north/up velocity
    float eastMps = 0, northMps = 0, upMps = 0;
    float biasRateMps = 0;
    float fixTimeS = 0;

    bool operator==(const Report56&) const = default;
};

struct Report58 {            // system data reply
    uint8_t operation = 0;   // 2 data follows, 1 load accepted, other: rejected
    uint8_t dataType = 0;
    uint8_t sv = 0;
    uint8_t dataLength = 0;  // L; 0 when the reply carries no length byte
    std::array<uint8_t, kMaxSystemData> data = {};

    bool operator==(const Report58&) const = default;
};

struct Report5C {            // tracking status of one channel
    uint8_t prn = 0;
    uint8_t channelSlot = 0; // bits 3-7 channel (0-based), bits 0-2 slot
    uint8_t acquisitionFlag = 0;
    uint8_t ephemerisFlag = 0;
    float signalLevelAmu = 0;
    float lastMeasurementS = 0;
    float elevationRad = 0;
    float azimuthRad = 0;
    uint8_t oldMeasurementFlag = 0;
    uint8_t integerMsecFlag = 0;
    uint8_t badDataFlag = 0;
    uint8_t dataCollectionFlag = 0;

    int Channel() const { return channelSlot >> 3; }
    int Slot() const { return channelSlot & 0x07; }

    bool operator==(const Report5C&) const = default;
};

struct Report6D {            // fix mode, DOPs and the satellites in the fix
    uint8_t fixModeBits = 0; // bits 0-2 dimension code, bits 4-7 satellite count
    float pdop = 0, hdop = 0, vdop = 0, tdop = 0;
    uint16_t prnCount = 0;
    std::array<int8_t, kMaxFixPrns> prns = {};

    int DimensionCode() const { return fixModeBits & 0x07; }
    int SatelliteCount() const { return fixModeBits >> 4; }

    bool operator==(const Report6D&) const = default;
};

using Report70 = FilterRecord;

struct Report82 {            // DGPS mode
    uint8_t dgpsMode = 0;

    bool operator==(const Report82&) const = default;
};

struct Report83 {            // double-precision ECEF position
    double xM = 0, yM = 0, zM = 0;
    double clockBiasM = 0;
    float fixTimeS = 0;

    bool operator==(const Report83&) const = default;
};

struct Report84 {            // double-precision LLA position
    double latRad = 0, lonRad = 0;
    double altM = 0;
    double clockBiasM = 0;
    float fixTimeS = 0;

    bool operator==(const Report84&) const = default;
};

struct Report8F15 {          // current datum
    uint16_t datumIndex = 0;

    bool operator==(const Report8F15&) const = default;
};

struct Report8F26 {          // save-to-flash confirmation; its status bytes are not read
    std::array<uint8_t, 4> status = {};

    bool operator==(const Report8F26&) const = default;
};

struct ReportBB {            // GPS configuration
    uint8_t subcode = 3;
    GpsConfigRecord config;

    bool operator==(const ReportBB&) const = default;
};

using ReportBC = SerialConfigRecord;

bool ParseReport41(const uint8_t* data, size_t len, Report41& out);
bool ParseReport42(const uint8_t* data, size_t len, Report42& out);
bool ParseReport43(const uint8_t* data, size_t len, Report43& out);
bool ParseReport45(const uint8_t* data, size_t len, Report45& out);
bool ParseReport46(const uint8_t* data, size_t len, Report46& out);
bool ParseReport4A(const uint8_t* data, size_t len, Report4A& out);
bool ParseReport4B(const uint8_t* data, size_t len, Report4B& out);
bool ParseReport4E(const uint8_t* data, size_t len, Report4E& out);
bool ParseReport55(const uint8_t* data, size_t len, Report55& out);
bool ParseReport56(const uint8_t* data, size_t len, Report56& out);
bool ParseReport58(const uint8_t* data, size_t len, Report58& out);
bool ParseReport5C(const uint8_t* data, size_t len, Report5C& out);
bool ParseReport6D(const uint8_t* data, size_t len, Report6D& out);
bool ParseReport70(const uint8_t* data, size_t len, Report70& out);
bool ParseReport82(const uint8_t* data, size_t len, Report82& out);
bool ParseReport83(const uint8_t* data, size_t len, Report83& out);
bool ParseReport84(const uint8_t* data, size_t len, Report84& out);
bool ParseReport8F15(const uint8_t* data, size_t len, Report8F15& out);
bool ParseReport8F26(const uint8_t* data, size_t len, Report8F26& out);
bool ParseReportBB(const uint8_t* data, size_t len, ReportBB& out);
bool ParseReportBC(const uint8_t* data, size_t len, ReportBC& out);

size_t EncodeReport41(const Report41& r, uint8_t* msg);
size_t EncodeReport42(const Report42& r, uint8_t* msg);
size_t EncodeReport43(const Report43& r, uint8_t* msg);
size_t EncodeReport45(const Report45& r, uint8_t* msg);
size_t EncodeReport46(const Report46& r, uint8_t* msg);
size_t EncodeReport4A(const Report4A& r, uint8_t* msg);
size_t EncodeReport4B(const Report4B& r, uint8_t* msg);
size_t EncodeReport4E(const Report4E& r, uint8_t* msg);
size_t EncodeReport55(const Report55& r, uint8_t* msg);
size_t EncodeReport56(const Report56& r, uint8_t* msg);
size_t EncodeReport58(const Report58& r, uint8_t* msg);
size_t EncodeReport5C(const Report5C& r, uint8_t* msg);
size_t EncodeReport6D(const Report6D& r, uint8_t* msg); // PRNs beyond kMaxFixPrns are dropped
size_t EncodeReport70(const Report70& r, uint8_t* msg);
size_t EncodeReport82(const Report82& r, uint8_t* msg);
size_t EncodeReport83(const Report83& r, uint8_t* msg);
size_t EncodeReport84(const Report84& r, uint8_t* msg);
size_t EncodeReport8F15(const Report8F15& r, uint8_t* msg); // unread bytes are sent as 0
size_t EncodeReport8F26(const Report8F26& r, uint8_t* msg);
size_t EncodeReportBB(const ReportBB& r, uint8_t* msg);
size_t EncodeReportBC(const ReportBC& r, uint8_t* msg);

// Short name of a report ("GPS time"), or nullptr for ids the monitor does
// not decode. subId is data[0] for id 0x8F and ignored otherwise.
const char* ReportName(uint8_t id, int subId);
// Data length (after the id) the report must have; for the reports of
// variable length (0x6D, 0x58) the minimum. -1 for unknown ids.
int ExpectedReportLength(uint8_t id, int subId);
// True for the reports whose length is only a minimum.
bool ReportLengthIsMinimum(uint8_t id, int subId);

// ---------------------------------------------------------------- commands

enum class CommandKind : uint8_t {
    Unknown,
    ResetMode,          // 0x1E mode (cold reset is mode 0x4B)
    RequestVersion,     // 0x1F
    RequestTime,        // 0x21
    InitialPosXYZ,      // 0x23 X Y Z
    RequestSatSelection,// 0x24
    SoftReset,          // 0x25
    RequestHealth,      // 0x26
    InitialPosLLA,      // 0x2B lat lon alt
    GpsTime,            // 0x2E tow week
    AccuratePosXYZ,     // 0x31 X Y Z
    AccuratePosLLA,     // 0x32 lat lon alt
    RequestIoOptions,   // 0x35
    SetIoOptions,       // 0x35 + 4 bytes
    RequestSystemData,  // 0x38 0x01 type sv
    LoadSystemData,     // 0x38 0x02 type sv L data
    RequestTracking,    // 0x3C 0x00
    RequestDgpsMode,    // 0x62 0x04
    RequestFilters,     // 0x70
    SetFilters,         // 0x70 + 4 bytes
    RequestGpsConfig,   // 0xBB 0x03
    SetGpsConfig,       // 0xBB 0x03 + 39 bytes
    RequestSerialConfig,// 0xBC port
    SetSerialConfig,    // 0xBC + 10 bytes
    RequestDatum,       // 0x8E 0x15
    SetDatum,           // 0x8E 0x15 index
    SaveToFlash,        // 0x8E 0x26
};

constexpr uint8_t kColdResetMode = 0x4B;
constexpr uint8_t kFactoryResetMode = 0x46;

// Payloads of the commands that carry values; the ids of the position
// commands pick between initial/accurate and XYZ/LLA.
struct PositionCommand {
    float a = 0, b = 0, c = 0; // X, Y, Z in m; or latitude, longitude in rad and altitude in m

    bool operator==(const PositionCommand&) const = default;
};

struct GpsTimeCommand {
    float timeOfWeekS = 0;
    uint16_t week = 0;

    bool operator==(const GpsTimeCommand&) const = default;
};

struct SystemDataCommand {
    uint8_t dataType = 0;
    uint8_t sv = 0;           // 0 for the types without a satellite
    uint8_t dataLength = 0;   // load only
    std::array<uint8_t, kMaxSystemData> data = {};

    bool operator==(const SystemDataCommand&) const = default;
};

// One received command, as the receiver side sees it: the kind and the
// payload field that belongs to it (the others keep their defaults).
struct Command {
    CommandKind kind = CommandKind::Unknown;
    uint8_t resetMode = 0;
    PositionCommand position;
    GpsTimeCommand time;
    IoOptionsRecord ioOptions;
    SystemDataCommand systemData;
    FilterRecord filters;
    GpsConfigRecord gpsConfig;
    SerialConfigRecord serialConfig; // for a request only receiverPort is set
    uint16_t datumIndex = 0;

    bool operator==(const Command&) const = default;
};

// Classifies and decodes a command from its id and the data bytes after it.
// Commands of an unknown id or an inexact length give false.
bool ParseCommand(uint8_t id, const uint8_t* data, size_t len, Command& out);
// Writes the whole message of the command (id first); 0 for Unknown.
size_t EncodeCommand(const Command& command, uint8_t* msg);
