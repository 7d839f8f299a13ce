#include "link/packets.h"

#include <algorithm>

#include "link/packet_fields.h"

using namespace packet_fields;

namespace {

struct ReportInfo {
    uint8_t id;
    int subId; // -1: any
    const char* name;
    int length;
    bool atLeast;
};

constexpr ReportInfo kReports[] = {
    {0x41, -1, "GPS time", 10, false},
    {0x42, -1, "single-precision ECEF position", 16, false},
    {0x43, -1, "ECEF velocity", 20, false},
    {0x1C, 0x81, "firmware version", 10, true},
    {0x1C, 0x83, "hardware version", 13, true},
    {0x45, -1, "software versions", 10, false},
    {0x46, -1, "health", 2, false},
    {0x4A, -1, "single-precision LLA position", 20, false},
    {0x4B, -1, "machine code and status", 3, false},
    {0x4E, -1, "reply to set-GPS-time", 1, false},
    {0x54, -1, "one-satellite clock bias", 12, false},
    {0x55, -1, "I/O options", 4, false},
    {0x56, -1, "ENU velocity", 20, false},
    {0x58, -1, "system data", 3, true},
    {0x5C, -1, "tracking status", 24, false},
    {0x5D, -1, "multi-GNSS channel status", 26, false},
    {0x6C, -1, "satellite selection and count", 18, true},
    {0x6D, -1, "fix mode and satellite selection", 17, true},
    {0x70, -1, "filter configuration", 4, false},
    {0x82, -1, "DGPS mode", 1, false},
    {0x83, -1, "double-precision ECEF position", 36, false},
    {0x84, -1, "double-precision LLA position", 36, false},
    {0x8F, 0x15, "current datum", 43, false},
    {0x8F, 0x20, "extended last fix", 64, false},
    {0x8F, 0x23, "compact fix", 29, false},
    {0x8F, 0x26, "save-to-flash confirmation", 5, false},
    {0x8F, 0xAB, "timing", 17, false},
    {0x8F, 0xAC, "supplementary timing", 68, false},
    {0xBB, -1, "GPS configuration", 40, false},
    {0xBC, -1, "serial port configuration", 10, false},
};

const ReportInfo* FindReport(uint8_t id, int subId)
{
    for (const ReportInfo& r : kReports)
        if (r.id == id && (r.subId < 0 || r.subId == subId))
            return &r;
    return nullptr;
}

} // namespace

bool packet_fields::ReportLengthFits(uint8_t id, int subId, const uint8_t* data, size_t len)
{
    const ReportInfo* r = FindReport(id, subId);
    if (!r || data == nullptr || len > kMaxReportData)
        return false;
    if (r->subId >= 0 && (len == 0 || data[0] != r->subId))
        return false;
    const auto expected = static_cast<size_t>(r->length);
    return r->atLeast ? len >= expected : len == expected;
}

namespace {
bool LengthFits(uint8_t id, int subId, const uint8_t* data, size_t len)
{
    return ReportLengthFits(id, subId, data, len);
}
} // namespace

// ---------------------------------------------------------------- reports

bool ParseReport41(const uint8_t* data, size_t len, Report41& out)
{
    if (!LengthFits(0x41, -1, data, len))
        return false;
    Reader r{data};
    out.timeOfWeekS = r.F32();
    out.week = r.U16();
    out.utcOffsetS = r.F32();
    return true;
}

size_t EncodeReport41(const Report41& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x41).F32(v.timeOfWeekS).U16(v.week).F32(v.utcOffsetS).Size();
}

bool ParseReport42(const uint8_t* data, size_t len, Report42& out)
{
    if (!LengthFits(0x42, -1, data, len))
        return false;
    Reader r{data};
    out = {r.F32(), r.F32(), r.F32(), r.F32()};
    return true;
}

size_t EncodeReport42(const Report42& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x42).F32(v.xM).F32(v.yM).F32(v.zM).F32(v.fixTimeS).Size();
}

// 0x43 and 0x56 share their shape: three velocities, bias rate, time of fix.
namespace {
bool ReadFiveFloats(uint8_t id, const uint8_t* data, size_t len, float (&f)[5])
{
    if (!LengthFits(id, -1, data, len))
        return false;
    Reader r{data};
    for (float& x : f)
        x = r.F32();
    return true;
}

size_t WriteFiveFloats(uint8_t id, const float (&f)[5], uint8_t* msg)
{
    Writer w{msg};
    w.U8(id);
    for (float x : f)
        w.F32(x);
    return w.Size();
}
} // namespace

bool ParseReport43(const uint8_t* data, size_t len, Report43& out)
{
    float f[5];
    if (!ReadFiveFloats(0x43, data, len, f))
        return false;
    out = {f[0], f[1], f[2], f[3], f[4]};
    return true;
}

size_t EncodeReport43(const Report43& v, uint8_t* msg)
{
    return WriteFiveFloats(0x43, {v.velXMps, v.velYMps, v.velZMps, v.biasRateMps, v.fixTimeS}, msg);
}

bool ParseReport56(const uint8_t* data, size_t len, Report56& out)
{
    float f[5];
    if (!ReadFiveFloats(0x56, data, len, f))
        return false;
    out = {f[0], f[1], f[2], f[3], f[4]};
    return true;
}

size_t EncodeReport56(const Report56& v, uint8_t* msg)
{
    return WriteFiveFloats(0x56, {v.eastMps, v.northMps, v.upMps, v.biasRateMps, v.fixTimeS}, msg);
}

bool ParseReport4A(const uint8_t* data, size_t len, Report4A& out)
{
    float f[5];
    if (!ReadFiveFloats(0x4A, data, len, f))
        return false;
    out = {f[0], f[1], f[2], f[3], f[4]};
    return true;
}

size_t EncodeReport4A(const Report4A& v, uint8_t* msg)
{
    return WriteFiveFloats(0x4A, {v.latRad, v.lonRad, v.altM, v.clockBiasM, v.fixTimeS}, msg);
}

// 0x83 and 0x84: four doubles, then the time of fix as a float.
namespace {
bool ReadFourDoublesAndTime(uint8_t id, const uint8_t* data, size_t len, double (&d)[4], float& t)
{
    if (!LengthFits(id, -1, data, len))
        return false;
    Reader r{data};
    for (double& x : d)
        x = r.F64();
    t = r.F32();
    return true;
}

size_t WriteFourDoublesAndTime(uint8_t id, const double (&d)[4], float t, uint8_t* msg)
{
    Writer w{msg};
    w.U8(id);
    for (double x : d)
        w.F64(x);
    return w.F32(t).Size();
}
} // namespace

bool ParseReport83(const uint8_t* data, size_t len, Report83& out)
{
    double d[4];
    float t = 0;
    if (!ReadFourDoublesAndTime(0x83, data, len, d, t))
        return false;
    out = {d[0], d[1], d[2], d[3], t};
    return true;
}

size_t EncodeReport83(const Report83& v, uint8_t* msg)
{
    return WriteFourDoublesAndTime(0x83, {v.xM, v.yM, v.zM, v.clockBiasM}, v.fixTimeS, msg);
}

bool ParseReport84(const uint8_t* data, size_t len, Report84& out)
{
    double d[4];
    float t = 0;
    if (!ReadFourDoublesAndTime(0x84, data, len, d, t))
        return false;
    out = {d[0], d[1], d[2], d[3], t};
    return true;
}

size_t EncodeReport84(const Report84& v, uint8_t* msg)
{
    return WriteFourDoublesAndTime(0x84, {v.latRad, v.lonRad, v.altM, v.clockBiasM}, v.fixTimeS, msg);
}

bool ParseReport45(const uint8_t* data, size_t len, Report45& out)
{
    if (!LengthFits(0x45, -1, data, len))
        return false;
    out.navigation = {data[0], data[1], data[2], data[3], data[4]};
    out.signal = {data[5], data[6], data[7], data[8], data[9]};
    return true;
}

size_t EncodeReport45(const Report45& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x45);
    for (const FirmwareVersion& f : {v.navigation, v.signal})
        w.U8(f.major).U8(f.minor).U8(f.month).U8(f.day).U8(f.yearSince2000);
    return w.Size();
}

bool ParseReport46(const uint8_t* data, size_t len, Report46& out)
{
    if (!LengthFits(0x46, -1, data, len))
        return false;
    out = {data[0], data[1]};
    return true;
}

size_t EncodeReport46(const Report46& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x46).U8(v.statusCode).U8(v.errorBits).Size();
}

bool ParseReport4B(const uint8_t* data, size_t len, Report4B& out)
{
    if (!LengthFits(0x4B, -1, data, len))
        return false;
    out = {data[0], data[1], data[2]};
    return true;
}

size_t EncodeReport4B(const Report4B& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x4B).U8(v.machineCode).U8(v.statusBits).U8(v.reserved).Size();
}

bool ParseReport4E(const uint8_t* data, size_t len, Report4E& out)
{
    if (!LengthFits(0x4E, -1, data, len))
        return false;
    out.answer = data[0];
    return true;
}

size_t EncodeReport4E(const Report4E& v, uint8_t* msg) { return Writer{msg}.U8(0x4E).U8(v.answer).Size(); }

bool ParseReport55(const uint8_t* data, size_t len, Report55& out)
{
    if (!LengthFits(0x55, -1, data, len))
        return false;
    out = ReadQuad<Report55>(data);
    return true;
}

size_t EncodeReport55(const Report55& v, uint8_t* msg)
{
    Writer w{msg};
    WriteQuad(w.U8(0x55), v);
    return w.Size();
}

bool ParseReport58(const uint8_t* data, size_t len, Report58& out)
{
    if (!LengthFits(0x58, -1, data, len))
        return false;
    const uint8_t dataLength = len > 3 ? data[3] : 0;
    // A reply that announces more data than it carries is refused rather
    // than padded: its block would be written to a file as if complete.
    if (len > 3 && size_t{4} + dataLength > len)
        return false;
    out.operation = data[0];
    out.dataType = data[1];
    out.sv = data[2];
    out.dataLength = dataLength;
    out.data = {};
    std::copy_n(data + 4, dataLength, out.data.begin());
    return true;
}

size_t EncodeReport58(const Report58& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x58).U8(v.operation).U8(v.dataType).U8(v.sv).U8(v.dataLength);
    return w.Bytes(v.data.data(), v.dataLength).Size();
}

bool ParseReport5C(const uint8_t* data, size_t len, Report5C& out)
{
    if (!LengthFits(0x5C, -1, data, len))
        return false;
    Reader r{data};
    out.prn = r.U8();
    out.channelSlot = r.U8();
    out.acquisitionFlag = r.U8();
    out.ephemerisFlag = r.U8();
    out.signalLevelAmu = r.F32();
    out.lastMeasurementS = r.F32();
    out.elevationRad = r.F32();
    out.azimuthRad = r.F32();
    out.oldMeasurementFlag = r.U8();
    out.integerMsecFlag = r.U8();
    out.badDataFlag = r.U8();
    out.dataCollectionFlag = r.U8();
    return true;
}

size_t EncodeReport5C(const Report5C& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x5C).U8(v.prn).U8(v.channelSlot).U8(v.acquisitionFlag).U8(v.ephemerisFlag);
    w.F32(v.signalLevelAmu).F32(v.lastMeasurementS).F32(v.elevationRad).F32(v.azimuthRad);
    w.U8(v.oldMeasurementFlag).U8(v.integerMsecFlag).U8(v.badDataFlag).U8(v.dataCollectionFlag);
    return w.Size();
}

bool ParseReport6D(const uint8_t* data, size_t len, Report6D& out)
{
    if (!LengthFits(0x6D, -1, data, len))
        return false;
    Reader r{data};
    out.fixModeBits = r.U8();
    out.pdop = r.F32();
    out.hdop = r.F32();
    out.vdop = r.F32();
    out.tdop = r.F32();
    out.prnCount = static_cast<uint16_t>(len - kReport6DFixedBytes);
    out.prns = {};
    for (size_t i = 0; i < out.prnCount; ++i)
        out.prns[i] = static_cast<int8_t>(r.U8());
    return true;
}

size_t EncodeReport6D(const Report6D& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x6D).U8(v.fixModeBits).F32(v.pdop).F32(v.hdop).F32(v.vdop).F32(v.tdop);
    const size_t count = std::min<size_t>(v.prnCount, kMaxFixPrns);
    for (size_t i = 0; i < count; ++i)
        w.U8(static_cast<uint8_t>(v.prns[i]));
    return w.Size();
}

bool ParseReport70(const uint8_t* data, size_t len, Report70& out)
{
    if (!LengthFits(0x70, -1, data, len))
        return false;
    out = ReadQuad<Report70>(data);
    return true;
}

size_t EncodeReport70(const Report70& v, uint8_t* msg)
{
    Writer w{msg};
    WriteQuad(w.U8(0x70), v);
    return w.Size();
}

bool ParseReport82(const uint8_t* data, size_t len, Report82& out)
{
    if (!LengthFits(0x82, -1, data, len))
        return false;
    out.dgpsMode = data[0];
    return true;
}

size_t EncodeReport82(const Report82& v, uint8_t* msg) { return Writer{msg}.U8(0x82).U8(v.dgpsMode).Size(); }

bool ParseReport8F15(const uint8_t* data, size_t len, Report8F15& out)
{
    if (!LengthFits(0x8F, 0x15, data, len))
        return false;
    out.datumIndex = ReadUInt16BE(data + 1);
    return true;
}

size_t EncodeReport8F15(const Report8F15& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x8F).U8(0x15).U16(v.datumIndex).Fill(0, 40).Size();
}

bool ParseReport8F26(const uint8_t* data, size_t len, Report8F26& out)
{
    if (!LengthFits(0x8F, 0x26, data, len))
        return false;
    std::copy_n(data + 1, out.status.size(), out.status.begin());
    return true;
}

size_t EncodeReport8F26(const Report8F26& v, uint8_t* msg)
{
    return Writer{msg}.U8(0x8F).U8(0x26).Bytes(v.status.data(), v.status.size()).Size();
}

bool ParseReportBB(const uint8_t* data, size_t len, ReportBB& out)
{
    if (!LengthFits(0xBB, -1, data, len))
        return false;
    out.subcode = data[0];
    out.config = ReadGpsConfigBody(Reader{data + 1});
    return true;
}

size_t EncodeReportBB(const ReportBB& v, uint8_t* msg)
{
    Writer w{msg};
    WriteGpsConfigBody(w.U8(0xBB), v.subcode, v.config);
    return w.Size();
}

bool ParseReportBC(const uint8_t* data, size_t len, ReportBC& out)
{
    if (!LengthFits(0xBC, -1, data, len))
        return false;
    out = ReadSerialConfigBody(Reader{data});
    return true;
}

size_t EncodeReportBC(const ReportBC& v, uint8_t* msg)
{
    Writer w{msg};
    WriteSerialConfigBody(w.U8(0xBC), v);
    return w.Size();
}

const char* ReportName(uint8_t id, int subId)
{
    const ReportInfo* r = FindReport(id, subId);
    return r ? r->name : nullptr;
}

int ExpectedReportLength(uint8_t id, int subId)
{
    const ReportInfo* r = FindReport(id, subId);
    return r ? r->length : -1;
}

bool ReportLengthIsMinimum(uint8_t id, int subId)
{
    const ReportInfo* r = FindReport(id, subId);
    return r && r->atLeast;
}
