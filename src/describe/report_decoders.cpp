// One decoder per report the monitor knows: the packet codec parses, and
// the values are given in display units (degrees, metres, ns, ppb).
#include <cstdio>

#include "describe/timing_words.h"
#include "link/gnss_reports.h"
#include "link/line_codes.h"
#include "link/packets.h"
#include "describe/packet_fields.h"

namespace {

constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;
constexpr double kNsPerMetre = 1e9 / 299792458.0;

std::string VersionText(const FirmwareVersion& v) { return std::to_string(v.major) + "." + std::to_string(v.minor); }

std::string DateText(const FirmwareVersion& v)
{
    return std::to_string(v.month) + "/" + std::to_string(v.day) + "/" + std::to_string(v.yearSince2000 + 2000);
}

void LatLon(DumpFields* f, double latRad, double lonRad, double altM)
{
    f->Num("latDeg", latRad * kDegPerRad, 8);
    f->Num("lonDeg", lonRad * kDegPerRad, 8);
    f->Num("altM", altM, 3);
}

void Xyz(DumpFields* f, const char* x, const char* y, const char* z, double vx, double vy, double vz, int decimals)
{
    f->Num(x, vx, decimals);
    f->Num(y, vy, decimals);
    f->Num(z, vz, decimals);
}

bool Decode41(const uint8_t* d, size_t n, DumpFields* f)
{
    Report41 r;
    if (!ParseReport41(d, n, r))
        return false;
    f->Num("tow", r.timeOfWeekS, 3);
    f->Int("week", r.week);
    f->Num("utcOffset", r.utcOffsetS, 1);
    return true;
}

bool Decode42(const uint8_t* d, size_t n, DumpFields* f)
{
    Report42 r;
    if (!ParseReport42(d, n, r))
        return false;
    Xyz(f, "ecefX", "ecefY", "ecefZ", r.xM, r.yM, r.zM, 2);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode43(const uint8_t* d, size_t n, DumpFields* f)
{
    Report43 r;
    if (!ParseReport43(d, n, r))
        return false;
    Xyz(f, "velX", "velY", "velZ", r.velXMps, r.velYMps, r.velZMps, 3);
    f->Num("biasRatePpb", r.biasRateMps * kNsPerMetre, 3);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode45(const uint8_t* d, size_t n, DumpFields* f)
{
    Report45 r;
    if (!ParseReport45(d, n, r))
        return false;
    f->Text("navVersion", VersionText(r.navigation));
    f->Text("navDate", DateText(r.navigation));
    f->Text("sigVersion", VersionText(r.signal));
    f->Text("sigDate", DateText(r.signal));
    return true;
}

bool Decode46(const uint8_t* d, size_t n, DumpFields* f)
{
    Report46 r;
    if (!ParseReport46(d, n, r))
        return false;
    f->Int("healthCode", r.statusCode);
    f->Int("healthErrors", r.errorBits);
    return true;
}

bool Decode4A(const uint8_t* d, size_t n, DumpFields* f)
{
    Report4A r;
    if (!ParseReport4A(d, n, r))
        return false;
    LatLon(f, r.latRad, r.lonRad, r.altM);
    f->Num("biasNs", r.clockBiasM * kNsPerMetre, 2);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode4B(const uint8_t* d, size_t n, DumpFields* f)
{
    Report4B r;
    if (!ParseReport4B(d, n, r))
        return false;
    f->Int("machineCode", r.machineCode);
    f->Int("statusFlags", r.statusBits);
    return true;
}

bool Decode4E(const uint8_t* d, size_t n, DumpFields* f)
{
    Report4E r;
    if (!ParseReport4E(d, n, r))
        return false;
    f->Text("accepted", r.answer == 'Y' ? "yes" : "no");
    return true;
}

bool Decode55(const uint8_t* d, size_t n, DumpFields* f)
{
    Report55 r;
    if (!ParseReport55(d, n, r))
        return false;
    f->Text("positionOutput", (r.position & 0x02) ? ((r.position & 0x01) ? "LLA+ECEF" : "LLA") : "ECEF");
    f->Text("altitudeOutput", (r.position & 0x04) ? "MSL" : "HAE");
    f->Text("altitudeInput", (r.position & 0x08) ? "MSL" : "HAE");
    f->Text("precision", (r.position & 0x10) ? "double" : "single");
    f->Text("velocityOutput", (r.velocity & 0x02) ? ((r.velocity & 0x01) ? "ENU+ECEF" : "ENU") : "ECEF");
    f->Text("timeOutput", (r.timing & 0x01) ? "UTC" : "GPS");
    return true;
}

bool Decode56(const uint8_t* d, size_t n, DumpFields* f)
{
    Report56 r;
    if (!ParseReport56(d, n, r))
        return false;
    Xyz(f, "velEast", "velNorth", "velUp", r.eastMps, r.northMps, r.upMps, 3);
    f->Num("biasRatePpb", r.biasRateMps * kNsPerMetre, 3);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode58(const uint8_t* d, size_t n, DumpFields* f)
{
    Report58 r;
    if (!ParseReport58(d, n, r))
        return false;
    f->Int("operation", r.operation);
    f->Int("dataType", r.dataType);
    f->Int("sv", r.sv);
    f->Int("dataLength", r.dataLength);
    return true;
}

bool Decode5C(const uint8_t* d, size_t n, DumpFields* f)
{
    Report5C r;
    if (!ParseReport5C(d, n, r))
        return false;
    f->Int("chanPrn", r.prn);
    f->Int("channel", r.Channel() + 1);
    f->Int("slot", r.Slot());
    f->Int("acquisition", r.acquisitionFlag);
    f->Int("ephemeris", r.ephemerisFlag);
    f->Num("level", r.signalLevelAmu, 1);
    f->Num("lastMeasurement", r.lastMeasurementS, 1);
    f->Num("elevationDeg", r.elevationRad * kDegPerRad, 1);
    f->Num("azimuthDeg", r.azimuthRad * kDegPerRad, 1);
    f->Int("oldMeasurement", r.oldMeasurementFlag);
    f->Int("integerMsec", r.integerMsecFlag);
    f->Int("badData", r.badDataFlag);
    f->Int("dataCollection", r.dataCollectionFlag);
    return true;
}

bool Decode6D(const uint8_t* d, size_t n, DumpFields* f)
{
    Report6D r;
    if (!ParseReport6D(d, n, r))
        return false;
    f->Text("fixDimension", std::to_string(r.DimensionCode() - 1) + "-D");
    f->Int("fixSvCount", r.SatelliteCount());
    f->Num("pdop", r.pdop, 2);
    f->Num("hdop", r.hdop, 2);
    f->Num("vdop", r.vdop, 2);
    f->Num("tdop", r.tdop, 2);
    f->List("fixSvs", r.prns.begin(), r.prns.begin() + r.prnCount);
    return true;
}

bool Decode70(const uint8_t* d, size_t n, DumpFields* f)
{
    Report70 r;
    if (!ParseReport70(d, n, r))
        return false;
    f->Int("pvFilter", r.positionVelocity != 0);
    f->Int("staticFilter", r.staticFilter != 0);
    f->Int("altitudeFilter", r.altitude != 0);
    return true;
}

bool Decode82(const uint8_t* d, size_t n, DumpFields* f)
{
    Report82 r;
    if (!ParseReport82(d, n, r))
        return false;
    f->Int("dgpsMode", r.dgpsMode);
    return true;
}

bool Decode83(const uint8_t* d, size_t n, DumpFields* f)
{
    Report83 r;
    if (!ParseReport83(d, n, r))
        return false;
    Xyz(f, "ecefX", "ecefY", "ecefZ", r.xM, r.yM, r.zM, 3);
    f->Num("biasNs", r.clockBiasM * kNsPerMetre, 2);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode84(const uint8_t* d, size_t n, DumpFields* f)
{
    Report84 r;
    if (!ParseReport84(d, n, r))
        return false;
    LatLon(f, r.latRad, r.lonRad, r.altM);
    f->Num("biasNs", r.clockBiasM * kNsPerMetre, 2);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode8F15(const uint8_t* d, size_t n, DumpFields* f)
{
    Report8F15 datum;
    if (!ParseReport8F15(d, n, datum))
        return false;
    f->Int("datum", datum.datumIndex);
    return true;
}

bool Decode8F26(const uint8_t* d, size_t n, DumpFields* f)
{
    Report8F26 saved;
    if (!ParseReport8F26(d, n, saved))
        return false;
    f->Text("saved", "yes");
    return true;
}

// 0x8F-20 and 0x8F-23: the week as received (old receivers count modulo 1024).
void CompactFixFields(const CompactFix& r, DumpFields* f)
{
    f->Num("latDeg", r.LatDeg(), 8);
    f->Num("lonDeg", r.LonDeg(), 8);
    f->Num("altM", r.AltM(), 3);
    Xyz(f, "velEast", "velNorth", "velUp", r.VelocityMps(0), r.VelocityMps(1), r.VelocityMps(2), 3);
    f->Num("fixTime", r.TimeOfWeekS(), 3);
    f->Int("week", r.week);
    f->Int("utcOffset", r.utcOffsetS);
    f->Int("fixFlags", r.fixFlags);
    if (r.svCount >= 0)
        f->Int("fixSvCount", r.svCount);
}

bool Decode8F20(const uint8_t* d, size_t n, DumpFields* f)
{
    CompactFix r;
    if (!ParseReport8F20(d, n, r))
        return false;
    CompactFixFields(r, f);
    return true;
}

bool Decode8F23(const uint8_t* d, size_t n, DumpFields* f)
{
    CompactFix r;
    if (!ParseReport8F23(d, n, r))
        return false;
    CompactFixFields(r, f);
    return true;
}

bool Decode8FAB(const uint8_t* d, size_t n, DumpFields* f)
{
    Report8FAB r;
    if (!ParseReport8FAB(d, n, r))
        return false;
    f->Int("tow", r.timeOfWeekS);
    f->Int("week", r.week);
    f->Int("utcOffset", r.utcOffsetS);
    f->Int("timingFlags", r.timingFlags);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", r.year, r.month, r.day, r.hours, r.minutes,
                  r.seconds);
    f->Text("date", text);
    f->Text("timeScale", (r.timingFlags & kTimingDateIsUtc) ? "UTC" : "GPS");
    return true;
}

bool Decode8FAC(const uint8_t* d, size_t n, DumpFields* f)
{
    Report8FAC r;
    if (!ParseReport8FAC(d, n, r))
        return false;
    f->Text("receiverMode", ReceiverModeText(r.receiverMode));
    f->Text("discipliningMode", DiscipliningModeText(r.discipliningMode));
    f->Text("discipliningActivity", DiscipliningActivityText(r.discipliningActivity));
    f->Int("surveyPercent", r.surveyProgress);
    f->Int("holdoverS", r.holdoverS);
    f->Text("decoding", DecodingStatusText(r.decodingStatus));
    f->Text("criticalAlarms", AlarmText(CriticalAlarmWords(r.criticalAlarms)));
    f->Text("minorAlarms", AlarmText(MinorAlarmWords(r.minorAlarms)));
    f->Num("ppsOffsetNs", r.ppsOffsetNs, 3);
    f->Num("oscOffsetPpb", r.clockOffsetPpb, 3);
    f->Int("dac", r.dacValue);
    f->Num("dacV", r.dacVoltage, 6);
    f->Num("temperatureC", r.temperatureC, 3);
    f->Num("latDeg", r.latRad * (180.0 / 3.14159265358979323846), 8);
    f->Num("lonDeg", r.lonRad * (180.0 / 3.14159265358979323846), 8);
    f->Num("altM", r.altM, 3);
    f->Num("quantisationNs", r.ppsQuantisationNs, 3);
    return true;
}

bool Decode8F(const uint8_t* d, size_t n, DumpFields* f)
{
    if (n == 0)
        return false;
    switch (d[0]) {
    case 0x15: return Decode8F15(d, n, f);
    case 0x20: return Decode8F20(d, n, f);
    case 0x23: return Decode8F23(d, n, f);
    case 0x26: return Decode8F26(d, n, f);
    case 0xAB: return Decode8FAB(d, n, f);
    case 0xAC: return Decode8FAC(d, n, f);
    default: return false;
    }
}

bool Decode1C(const uint8_t* d, size_t n, DumpFields* f)
{
    Report1C81 fw;
    Report1C83 hw;
    if (ParseReport1C81(d, n, fw)) {
        f->Text("firmware", std::to_string(fw.major) + "." + (fw.minor < 10 ? "0" : "") + std::to_string(fw.minor));
        f->Int("build", fw.build);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", fw.year, fw.month, fw.day);
        f->Text("firmwareDate", date);
        f->Text("product", fw.productName);
        return true;
    }
    if (ParseReport1C83(d, n, hw)) {
        f->Int("serial", hw.serialNumber);
        char date[24];
        std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d", hw.buildYear, hw.buildMonth, hw.buildDay, hw.buildHour);
        f->Text("built", date);
        f->Int("hardwareCode", hw.hardwareCode);
        f->Text("hardware", hw.hardwareName);
        return true;
    }
    return false;
}

bool Decode54(const uint8_t* d, size_t n, DumpFields* f)
{
    Report54 r;
    if (!ParseReport54(d, n, r))
        return false;
    f->Num("biasNs", r.biasM * kNsPerMetre, 2);
    f->Num("biasRatePpb", r.biasRateMps * kNsPerMetre, 3);
    f->Num("fixTime", r.fixTimeS, 3);
    return true;
}

bool Decode5D(const uint8_t* d, size_t n, DumpFields* f)
{
    Report5D r;
    if (!ParseReport5D(d, n, r))
        return false;
    f->Text("satellite", SatelliteLabel(r.system, r.prn));
    f->Int("chanPrn", r.prn);
    f->Int("channel", r.channel + 1);
    f->Int("acquisition", r.acquisitionFlag);
    f->Int("usedInFix", r.usedInFix);
    f->Num("levelDbHz", r.signalLevelDbHz, 1);
    f->Num("lastMeasurement", r.lastMeasurementS, 1);
    f->Num("elevationDeg", r.elevationRad * kDegPerRad, 1);
    f->Num("azimuthDeg", r.azimuthRad * kDegPerRad, 1);
    f->Int("system", r.system);
    return true;
}

bool Decode6C(const uint8_t* d, size_t n, DumpFields* f)
{
    Report6C r;
    if (!ParseReport6C(d, n, r))
        return false;
    f->Text("fixDimension", std::to_string(r.DimensionCode() - 1) + "-D");
    f->Int("fixSvCount", r.prnCount);
    f->Num("pdop", r.pdop, 2);
    f->Num("hdop", r.hdop, 2);
    f->Num("vdop", r.vdop, 2);
    f->Num("tdop", r.tdop, 2);
    f->List("fixSvs", r.prns.begin(), r.prns.begin() + r.prnCount);
    return true;
}

bool DecodeBB(const uint8_t* d, size_t n, DumpFields* f)
{
    ReportBB r;
    if (!ParseReportBB(d, n, r))
        return false;
    f->Int("receiverMode", r.config.receiverMode);
    f->Int("dgpsMode", r.config.dgpsMode);
    f->Int("dynamicsCode", r.config.dynamicsCode);
    f->Num("elevationMaskDeg", r.config.elevationMaskRad * kDegPerRad, 1);
    f->Num("signalMaskAmu", r.config.signalMaskAmu, 1);
    f->Num("pdopMask", r.config.pdopMask, 1);
    f->Num("pdopSwitch", r.config.pdopSwitch, 1);
    f->Int("dgpsAgeLimit", r.config.dgpsAgeLimitS);
    return true;
}

bool DecodeBC(const uint8_t* d, size_t n, DumpFields* f)
{
    ReportBC r;
    if (!ParseReportBC(d, n, r))
        return false;
    f->Int("receiverPort", r.receiverPort);
    f->Int("baud", BaudRate(r.baudCode));
    f->Int("dataBits", DataBitsValue(r.dataBitsCode));
    f->Text("parity", ParityText(r.parityCode));
    f->Int("stopBits", r.stopBitsCode == 0 ? 1 : (r.stopBitsCode == 1 ? 2 : -1));
    f->Int("inputProtocol", r.inputProtocol);
    f->Int("outputProtocol", r.outputProtocol);
    return true;
}

using Decoder = bool (*)(const uint8_t*, size_t, DumpFields*);

struct DecoderRow {
    int id;
    Decoder decode;
};

constexpr DecoderRow kDecoders[] = {
    {0x1C, Decode1C}, {0x54, Decode54}, {0x5D, Decode5D}, {0x6C, Decode6C},
    {0x41, Decode41}, {0x42, Decode42}, {0x43, Decode43}, {0x45, Decode45}, {0x46, Decode46},
    {0x4A, Decode4A}, {0x4B, Decode4B}, {0x4E, Decode4E}, {0x55, Decode55}, {0x56, Decode56},
    {0x58, Decode58}, {0x5C, Decode5C}, {0x6D, Decode6D}, {0x70, Decode70}, {0x82, Decode82},
    {0x83, Decode83}, {0x84, Decode84}, {0x8F, Decode8F}, {0xBB, DecodeBB}, {0xBC, DecodeBC},
};

} // namespace

bool DecodePacketFields(int id, const uint8_t* data, size_t length, DumpFields* out)
{
    for (const DecoderRow& row : kDecoders)
        if (row.id == id)
            return row.decode(data, length, out);
    return false;
}
