#include "link/gnss_reports.h"

#include <cstdio>

#include "link/packet_fields.h"

using namespace packet_fields;

namespace {

constexpr double kDegPerSemicircle = 180.0 / 2147483648.0;

// Byte 8 of 0x8F-23 and byte 24 of 0x8F-20 choose the velocity step.
constexpr uint8_t kCoarse23 = 0x20;
constexpr uint8_t kCoarse20 = 0x01;

// The position fields both compact fixes share: latitude, longitude, altitude.
void ReadFixPosition(Reader& r, CompactFix& out)
{
    out.latSemicircles = r.S32();
    out.lonSemicircles = r.U32();
    out.altMm = r.S32();
}

void ReadVelocitySteps(Reader& r, CompactFix& out)
{
    for (int16_t& v : out.velocitySteps)
        v = r.S16();
}

// Name fields carry their own length, which must match what arrived.
bool ReadName(const uint8_t* data, size_t len, size_t lengthAt, std::string& out)
{
    const size_t n = data[lengthAt];
    if (lengthAt + 1 + n != len)
        return false;
    out.assign(reinterpret_cast<const char*>(data + lengthAt + 1), n);
    return true;
}

} // namespace

double CompactFix::LatDeg() const { return latSemicircles * kDegPerSemicircle; }

double CompactFix::LonDeg() const
{
    const double deg = lonSemicircles * kDegPerSemicircle;
    return deg > 180 ? deg - 360 : deg;
}

double CompactFix::VelocityMps(size_t axis) const
{
    return velocitySteps[axis] * (coarseVelocity ? 0.02 : 0.005);
}

bool ParseReport8FAB(const uint8_t* data, size_t len, Report8FAB& out)
{
    if (!ReportLengthFits(0x8F, 0xAB, data, len))
        return false;
    Reader r{data + 1};
    out.timeOfWeekS = r.U32();
    out.week = r.U16();
    out.utcOffsetS = r.S16();
    out.timingFlags = r.U8();
    out.seconds = r.U8();
    out.minutes = r.U8();
    out.hours = r.U8();
    out.day = r.U8();
    out.month = r.U8();
    out.year = r.U16();
    return true;
}

size_t EncodeReport8FAB(const Report8FAB& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x8F).U8(0xAB).U32(v.timeOfWeekS).U16(v.week).S16(v.utcOffsetS).U8(v.timingFlags);
    w.U8(v.seconds).U8(v.minutes).U8(v.hours).U8(v.day).U8(v.month).U16(v.year);
    return w.Size();
}

bool ParseReport8FAC(const uint8_t* data, size_t len, Report8FAC& out)
{
    if (!ReportLengthFits(0x8F, 0xAC, data, len))
        return false;
    Reader r{data + 1};
    out.receiverMode = r.U8();
    out.discipliningMode = r.U8();
    out.surveyProgress = r.U8();
    out.holdoverS = r.U32();
    out.criticalAlarms = r.U16();
    out.minorAlarms = r.U16();
    out.decodingStatus = r.U8();
    out.discipliningActivity = r.U8();
    r.Skip(2);
    out.ppsOffsetNs = r.F32();
    out.clockOffsetPpb = r.F32();
    out.dacValue = r.U32();
    out.dacVoltage = r.F32();
    out.temperatureC = r.F32();
    out.latRad = r.F64();
    out.lonRad = r.F64();
    out.altM = r.F64();
    out.ppsQuantisationNs = r.F32();
    return true;
}

size_t EncodeReport8FAC(const Report8FAC& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x8F).U8(0xAC).U8(v.receiverMode).U8(v.discipliningMode).U8(v.surveyProgress).U32(v.holdoverS);
    w.U16(v.criticalAlarms).U16(v.minorAlarms).U8(v.decodingStatus).U8(v.discipliningActivity).Fill(0, 2);
    w.F32(v.ppsOffsetNs).F32(v.clockOffsetPpb).U32(v.dacValue).F32(v.dacVoltage).F32(v.temperatureC);
    w.F64(v.latRad).F64(v.lonRad).F64(v.altM).F32(v.ppsQuantisationNs).Fill(0, 4);
    return w.Size();
}

bool ParseReport8F20(const uint8_t* data, size_t len, CompactFix& out)
{
    if (!ReportLengthFits(0x8F, 0x20, data, len))
        return false;
    Reader r{data + 2}; // after the sub-id and the key byte
    out = {};
    ReadVelocitySteps(r, out);
    out.timeOfWeekMs = r.U32();
    ReadFixPosition(r, out);
    out.coarseVelocity = (r.U8() & kCoarse20) != 0;
    r.Skip(2);
    out.fixFlags = r.U8();
    out.svCount = r.U8();
    out.utcOffsetS = r.U8();
    out.week = r.U16();
    return true;
}

bool ParseReport8F23(const uint8_t* data, size_t len, CompactFix& out)
{
    if (!ReportLengthFits(0x8F, 0x23, data, len))
        return false;
    Reader r{data + 1};
    out = {};
    out.timeOfWeekMs = r.U32();
    out.week = r.U16();
    out.utcOffsetS = r.U8();
    out.fixFlags = r.U8();
    out.coarseVelocity = (out.fixFlags & kCoarse23) != 0;
    ReadFixPosition(r, out);
    ReadVelocitySteps(r, out);
    return true;
}

bool ParseReport6C(const uint8_t* data, size_t len, Report6C& out)
{
    if (!ReportLengthFits(0x6C, -1, data, len) || kReport6CFixedBytes + data[17] != len)
        return false;
    Reader r{data};
    out.fixModeBits = r.U8();
    out.pdop = r.F32();
    out.hdop = r.F32();
    out.vdop = r.F32();
    out.tdop = r.F32();
    out.prnCount = r.U8();
    out.prns = {};
    for (size_t i = 0; i < out.prnCount; ++i)
        out.prns[i] = r.U8();
    return true;
}

size_t EncodeReport6C(const Report6C& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x6C).U8(v.fixModeBits).F32(v.pdop).F32(v.hdop).F32(v.vdop).F32(v.tdop).U8(v.prnCount);
    return w.Bytes(v.prns.data(), v.prnCount).Size();
}

bool ParseReport5D(const uint8_t* data, size_t len, Report5D& out)
{
    if (!ReportLengthFits(0x5D, -1, data, len))
        return false;
    Reader r{data};
    out.prn = r.U8();
    out.channel = r.U8();
    out.acquisitionFlag = r.U8();
    out.usedInFix = r.U8();
    out.signalLevelDbHz = r.F32();
    out.lastMeasurementS = r.F32();
    out.elevationRad = r.F32();
    out.azimuthRad = r.F32();
    out.oldMeasurementFlag = r.U8();
    out.integerMsecFlag = r.U8();
    out.badDataFlag = r.U8();
    out.dataCollectionFlag = r.U8();
    out.usageFlags = r.U8();
    out.system = r.U8();
    return true;
}

size_t EncodeReport5D(const Report5D& v, uint8_t* msg)
{
    Writer w{msg};
    w.U8(0x5D).U8(v.prn).U8(v.channel).U8(v.acquisitionFlag).U8(v.usedInFix);
    w.F32(v.signalLevelDbHz).F32(v.lastMeasurementS).F32(v.elevationRad).F32(v.azimuthRad);
    w.U8(v.oldMeasurementFlag).U8(v.integerMsecFlag).U8(v.badDataFlag).U8(v.dataCollectionFlag);
    return w.U8(v.usageFlags).U8(v.system).Size();
}

size_t EncodeReport54(const Report54& v, uint8_t* msg)
{
    Writer w{msg};
    return w.U8(0x54).F32(v.biasM).F32(v.biasRateMps).F32(v.fixTimeS).Size();
}

bool ParseReport54(const uint8_t* data, size_t len, Report54& out)
{
    if (!ReportLengthFits(0x54, -1, data, len))
        return false;
    Reader r{data};
    out = {r.F32(), r.F32(), r.F32()};
    return true;
}

bool ParseReport1C81(const uint8_t* data, size_t len, Report1C81& out)
{
    if (!ReportLengthFits(0x1C, 0x81, data, len) || !ReadName(data, len, 9, out.productName))
        return false;
    Reader r{data + 2}; // after the sub-id and a reserved byte
    out.major = r.U8();
    out.minor = r.U8();
    out.build = r.U8();
    out.month = r.U8();
    out.day = r.U8();
    out.year = r.U16();
    return true;
}

bool ParseReport1C83(const uint8_t* data, size_t len, Report1C83& out)
{
    if (!ReportLengthFits(0x1C, 0x83, data, len) || !ReadName(data, len, 12, out.hardwareName))
        return false;
    Reader r{data + 1};
    out.serialNumber = r.U32();
    out.buildDay = r.U8();
    out.buildMonth = r.U8();
    out.buildYear = r.U16();
    out.buildHour = r.U8();
    out.hardwareCode = r.U16();
    return true;
}

std::string SatelliteLabel(uint8_t system, uint8_t prn)
{
    char letter = '?';
    int number = prn;
    switch (static_cast<GnssSystem>(system)) {
    case GnssSystem::Gps: letter = 'G'; break;
    case GnssSystem::Glonass:
        letter = 'R';
        if (number > 64)
            number -= 64;
        break;
    case GnssSystem::BeiDou: letter = 'C'; break;
    case GnssSystem::Galileo: letter = 'E'; break;
    case GnssSystem::Qzss: letter = 'J'; break;
    case GnssSystem::Sbas: letter = 'S'; break;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d", letter, number);
    return text;
}

uint8_t SystemOfFixPrn(int prn)
{
    return static_cast<uint8_t>(prn > 64 && prn <= 96 ? GnssSystem::Glonass : GnssSystem::Gps);
}
