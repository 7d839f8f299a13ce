// Golden packets: every report the monitor parses and every command message
// it builds, as bytes worked out by hand from the packet layouts, never
// produced by the program's own encoders. Each case is checked both ways:
// the parse must give the listed values and the encoder must give exactly
// the listed bytes, so an encoder and a parser that share a mistake fail.
//
// Legend. Hex strings are the data bytes after the id (reports) or the whole
// message, id first (commands); spaces only group fields. Multi-byte fields
// are big-endian. IEEE-754 bit patterns used below:
//   single   1.0 3F800000    0.5 3F000000   0.25 3E800000    1.5 3FC00000
//           -1.0 BF800000   -2.0 C0000000    2.0 40000000    4.0 40800000
//            8.0 41000000    9.0 41100000   12.0 41400000   18.0 41900000
//          100.0 42C80000
//   double   1.0 3FF00000 00000000    -2.0 C0000000 00000000
//            0.5 3FE00000 00000000   100.0 40590000 00000000
//         1000.0 408F4000 00000000
//      6378137.0 415854A6 40000000   (exponent 22, mantissa 0x215299 << 30)
//   u16   1042 0412   40000 9C40   179 00B3   0x0110 0110
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/frame_scanner.h"
#include "link/packets.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& text)
{
    Bytes out;
    std::string digits;
    for (char ch : text)
        if (ch != ' ')
            digits += ch;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    EXPECT_EQ(digits.size() % 2, 0u) << text;
    return out;
}

std::string ToHex(const uint8_t* bytes, size_t count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < count; ++i) {
        s += kDigits[bytes[i] >> 4];
        s += kDigits[bytes[i] & 0x0F];
    }
    return s;
}

std::string ToHex(const Bytes& b) { return ToHex(b.data(), b.size()); }

std::string Times(const char* hexByte, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += hexByte;
    return s;
}

struct GoldenCase {
    std::string name;
    std::function<void()> check;
};

enum class Way { Both, ParseOnly };

// A report: the data bytes parse to `want`, their count is the one the length
// table gives, and encoding `want` gives the id and the same bytes (ParseOnly
// for the shapes a receiver may send but the encoder, which always writes the
// full form, does not).
template <typename T>
GoldenCase ReportCase(const char* name, uint8_t id, const std::string& hex, const T& want,
                      bool (*parse)(const uint8_t*, size_t, T&), size_t (*encode)(const T&, uint8_t*),
                      Way way = Way::Both)
{
    return {name, [=] {
        const Bytes data = Hex(hex);
        T got{};
        ASSERT_TRUE(parse(data.data(), data.size(), got));
        uint8_t msg[kMaxPacketMessage + 1] = {};
        EXPECT_TRUE(got == want) << "parsed values re-encode as " << ToHex(msg, encode(got, msg));
        const int subId = id == 0x8F ? data[0] : -1;
        if (ReportLengthIsMinimum(id, subId))
            EXPECT_GE(static_cast<int>(data.size()), ExpectedReportLength(id, subId));
        else
            EXPECT_EQ(static_cast<int>(data.size()), ExpectedReportLength(id, subId));
        if (way == Way::Both) {
            Bytes message{id};
            message.insert(message.end(), data.begin(), data.end());
            EXPECT_EQ(ToHex(msg, encode(want, msg)), ToHex(message));
        }
    }};
}

// ---------------------------------------------------------------- reports

Report6D FixMode(uint8_t bits, float p, float h, float v, float t, const Bytes& prns)
{
    Report6D r;
    r.fixModeBits = bits;
    r.pdop = p, r.hdop = h, r.vdop = v, r.tdop = t;
    r.prnCount = static_cast<uint16_t>(prns.size());
    for (size_t i = 0; i < prns.size(); ++i)
        r.prns[i] = static_cast<int8_t>(prns[i]);
    return r;
}

Report58 SystemData(uint8_t op, uint8_t type, uint8_t sv, const Bytes& block)
{
    Report58 r;
    r.operation = op, r.dataType = type, r.sv = sv;
    r.dataLength = static_cast<uint8_t>(block.size());
    std::copy(block.begin(), block.end(), r.data.begin());
    return r;
}

// The GPS configuration of report 0xBB and of its set command (the same 40
// data bytes): subcode 3, receiver mode 4, DGPS 3, dynamics 1, 11 x FF,
// elevation mask 0.25 rad, signal mask 4.0, PDOP mask 12.0, PDOP switch 8.0,
// 4 x FF, age limit 30 s, 4 x FF.
const GpsConfigRecord kGps{4, 3, 1, 0.25f, 4.0f, 12.0f, 8.0f, 30};
const std::string kGpsHex = "03 04 03 01" + Times("FF", 11) + "3E800000 40800000 41400000 41000000" +
                            Times("FF", 4) + "1E" + Times("FF", 4);

std::vector<GoldenCase> ReportCases()
{
    Report5C track{7, 0x1B, 1, 1, 12.0f, 100.0f, 0.5f, 1.5f, 0, 1, 0, 1};
    return {
        // time of week 100.0 s, week 1042, GPS - UTC 18.0 s
        ReportCase("41 GPS time", 0x41, "42C80000 0412 41900000", Report41{100.0f, 1042, 18.0f},
                   ParseReport41, EncodeReport41),
        // week 40000: the week is unsigned
        ReportCase("41 week above 32767", 0x41, "3F800000 9C40 00000000", Report41{1.0f, 40000, 0.0f},
                   ParseReport41, EncodeReport41),
        // X -2.0 m, Y 0.5 m, Z 100.0 m, time of fix 1.0 s
        ReportCase("42 ECEF single", 0x42, "C0000000 3F000000 42C80000 3F800000",
                   Report42{-2.0f, 0.5f, 100.0f, 1.0f}, ParseReport42, EncodeReport42),
        // velocity X 0.5, Y -1.0, Z 2.0 m/s, bias rate 0.25 m/s, time 4.0 s
        ReportCase("43 ECEF velocity", 0x43, "3F000000 BF800000 40000000 3E800000 40800000",
                   Report43{0.5f, -1.0f, 2.0f, 0.25f, 4.0f}, ParseReport43, EncodeReport43),
        // navigation 1.12 of 7 March 2001, signal 2.0 of 31 December 2024
        ReportCase("45 versions", 0x45, "01 0C 03 07 01  02 00 0C 1F 18",
                   Report45{{1, 12, 3, 7, 1}, {2, 0, 12, 31, 24}}, ParseReport45, EncodeReport45),
        // status 8 (no usable satellites), error bits BBRAM 0x01 + antenna 0x10
        ReportCase("46 health", 0x46, "08 11", Report46{8, 0x11}, ParseReport46, EncodeReport46),
        // latitude 0.5 rad, longitude -2.0 rad, altitude 100.0 m, clock bias 8.0 m, time 1.0 s
        ReportCase("4A LLA single", 0x4A, "3F000000 C0000000 42C80000 41000000 3F800000",
                   Report4A{0.5f, -2.0f, 100.0f, 8.0f, 1.0f}, ParseReport4A, EncodeReport4A),
        // machine code 0x5A, status RTC 0x02 + almanac 0x08, unused 01
        ReportCase("4B machine status", 0x4B, "5A 0A 01", Report4B{0x5A, 0x0A, 0x01}, ParseReport4B,
                   EncodeReport4B),
        ReportCase("4E time accepted", 0x4E, "59", Report4E{'Y'}, ParseReport4E, EncodeReport4E),
        // LLA + MSL out + double, ENU velocity, UTC time, reserved
        ReportCase("55 I/O options", 0x55, "16 02 01 00", Report55{0x16, 0x02, 0x01, 0x00}, ParseReport55,
                   EncodeReport55),
        // east -1.0, north 0.25, up 0.5 m/s, bias rate 1.5 m/s, time 2.0 s
        ReportCase("56 ENU velocity", 0x56, "BF800000 3E800000 3F000000 3FC00000 40000000",
                   Report56{-1.0f, 0.25f, 0.5f, 1.5f, 2.0f}, ParseReport56, EncodeReport56),
        // download reply: operation 2, type 3 (almanac health), SV 0, L 4, four data bytes
        ReportCase("58 data reply", 0x58, "02 03 00 04 AABBCCDD", SystemData(2, 3, 0, Hex("AABBCCDD")),
                   ParseReport58, EncodeReport58),
        // upload acknowledgement without a length byte: operation 1, type 2, SV 17
        ReportCase("58 load accepted", 0x58, "01 02 11", SystemData(1, 2, 17, {}), ParseReport58,
                   EncodeReport58, Way::ParseOnly),
        // PRN 7, channel 3 slot 3 (0x1B), acquired, ephemeris, 12.0 AMU, measured at 100.0 s,
        // elevation 0.5 rad, azimuth 1.5 rad, flags old 0, msec 1, bad 0, collecting 1
        ReportCase("5C tracking", 0x5C, "07 1B 01 01 41400000 42C80000 3F000000 3FC00000 00 01 00 01", track,
                   ParseReport5C, EncodeReport5C),
        // 3-D (code 4) with 4 satellites (0x44), PDOP 2.0, HDOP 1.0, VDOP 1.5, TDOP 1.0, PRNs 1 7 12 31
        ReportCase("6D fix with PRNs", 0x6D, "44 40000000 3F800000 3FC00000 3F800000 01 07 0C 1F",
                   FixMode(0x44, 2.0f, 1.0f, 1.5f, 1.0f, {1, 7, 12, 31}), ParseReport6D, EncodeReport6D),
        // no fix (code 0, no satellites), DOPs 100.0, 12.0, 8.0, 0.5, no PRN list
        ReportCase("6D no PRNs", 0x6D, "00 42C80000 41400000 41000000 3F000000",
                   FixMode(0x00, 100.0f, 12.0f, 8.0f, 0.5f, {}), ParseReport6D, EncodeReport6D),
        // 2-D (code 3) with 1 satellite (0x13), DOPs 1.0, PRN byte FE read as signed -2
        ReportCase("6D signed PRN", 0x6D, "13 3F800000 3F800000 3F800000 3F800000 FE",
                   FixMode(0x13, 1.0f, 1.0f, 1.0f, 1.0f, {0xFE}), ParseReport6D, EncodeReport6D),
        // position-velocity on, static off, altitude on, reserved
        ReportCase("70 filters", 0x70, "01 00 01 00", Report70{1, 0, 1, 0}, ParseReport70, EncodeReport70),
        ReportCase("82 DGPS mode", 0x82, "03", Report82{3}, ParseReport82, EncodeReport82),
        // X 6378137.0 m, Y -2.0 m, Z 0.5 m, clock bias 1.0 m, time of fix 4.0 s (single)
        ReportCase("83 ECEF double", 0x83,
                   "415854A640000000 C000000000000000 3FE0000000000000 3FF0000000000000 40800000",
                   Report83{6378137.0, -2.0, 0.5, 1.0, 4.0f}, ParseReport83, EncodeReport83),
        // latitude 0.5 rad, longitude -2.0 rad, altitude 1000.0 m, clock bias 100.0 m, time 1.0 s
        ReportCase("84 LLA double", 0x84,
                   "3FE0000000000000 C000000000000000 408F400000000000 4059000000000000 3F800000",
                   Report84{0.5, -2.0, 1000.0, 100.0, 1.0f}, ParseReport84, EncodeReport84),
        // subcode 15, datum 179, 40 bytes that are not read (zero as the encoder sends them)
        ReportCase("8F-15 datum", 0x8F, "15 00B3" + Times("00", 40), Report8F15{179}, ParseReport8F15,
                   EncodeReport8F15),
        ReportCase("8F-15 datum, rest not read", 0x8F, "15 0007" + Times("5A", 40), Report8F15{7},
                   ParseReport8F15, EncodeReport8F15, Way::ParseOnly),
        // subcode 26 and four status bytes
        ReportCase("8F-26 saved", 0x8F, "26 01020304", Report8F26{{1, 2, 3, 4}}, ParseReport8F26,
                   EncodeReport8F26),
        ReportCase("BB GPS configuration", 0xBB, kGpsHex, ReportBB{3, kGps}, ParseReportBB, EncodeReportBB),
        // the subcode of the report is not checked: 05 is taken as it comes
        ReportCase("BB other subcode", 0xBB, "05" + kGpsHex.substr(2), ReportBB{5, kGps}, ParseReportBB,
                   EncodeReportBB),
        // port 0, baud 8 twice, 8 bits (3), odd (1), 1 stop (0), unused, in ZELK (2), out NMEA (4), unused
        ReportCase("BC serial", 0xBC, "00 08 08 03 01 00 00 02 04 00", ReportBC{0, 8, 3, 1, 0, 2, 4, 0},
                   ParseReportBC, EncodeReportBC),
        // the second baud copy (05) is not read
        ReportCase("BC second baud copy", 0xBC, "00 09 05 03 02 01 00 02 02 00", ReportBC{0, 9, 3, 2, 1, 2, 2, 0},
                   ParseReportBC, EncodeReportBC, Way::ParseOnly),
    };
}

TEST(GoldenPackets, ReportsParseToTheirValuesAndEncodeToTheirBytes)
{
    for (const GoldenCase& c : ReportCases()) {
        SCOPED_TRACE(c.name);
        c.check();
    }
}

struct Bits {
    uint8_t byte;
    int high, low;
};

// Puts each row's byte at `at` in the hand-made report and reads both fields.
template <typename R>
void ExpectBitFields(const std::string& hex, size_t at, bool (*parse)(const uint8_t*, size_t, R&),
                     int (R::*high)() const, int (R::*low)() const, std::initializer_list<Bits> rows)
{
    for (const Bits& b : rows) {
        Bytes d = Hex(hex);
        d[at] = b.byte;
        R r;
        ASSERT_TRUE(parse(d.data(), d.size(), r));
        EXPECT_EQ((r.*high)(), b.high) << int(b.byte);
        EXPECT_EQ((r.*low)(), b.low) << int(b.byte);
    }
}

// The bit fields the displays read: 0x6D byte 0 (bits 4-7 satellites in the
// fix, bit 3 unused, bits 0-2 dimension code) and 0x5C byte 1 (bits 3-7
// channel from 0, bits 0-2 slot).
TEST(GoldenPackets, BitFieldsOfFixModeAndTrackingChannel)
{
    ExpectBitFields("00 3F800000 3F800000 3F800000 3F800000", 0, ParseReport6D, &Report6D::SatelliteCount,
                    &Report6D::DimensionCode, {{0x44, 4, 4}, {0x4C, 4, 4}, {0xC3, 12, 3}, {0x08, 0, 0}});
    ExpectBitFields("07 00 01 01 41400000 42C80000 3F000000 3FC00000 00 01 00 01", 1, ParseReport5C,
                    &Report5C::Channel, &Report5C::Slot, {{0x1B, 3, 3}, {0xFF, 31, 7}, {0x07, 0, 7}, {0x58, 11, 0}});
}

// ---------------------------------------------------------------- commands

Command Cmd(CommandKind kind, const std::function<void(Command&)>& fill = {})
{
    Command c;
    c.kind = kind;
    if (fill)
        fill(c);
    return c;
}

// A command message (id first): EncodeCommand gives exactly these bytes and
// ParseCommand gives back the same command; one byte fewer is not that command.
GoldenCase CommandCase(const char* name, const std::string& hex, const Command& want)
{
    return {name, [=] {
        const Bytes message = Hex(hex);
        uint8_t msg[kMaxPacketMessage] = {};
        EXPECT_EQ(ToHex(msg, EncodeCommand(want, msg)), ToHex(message));
        Command got;
        ASSERT_TRUE(ParseCommand(message[0], message.data() + 1, message.size() - 1, got));
        EXPECT_TRUE(got == want) << "parsed kind " << static_cast<int>(got.kind);
        Command shorter;
        EXPECT_FALSE(ParseCommand(message[0], message.data() + 1, message.size() - 2, shorter) &&
                     shorter.kind == want.kind);
    }};
}

std::vector<GoldenCase> CommandCases()
{
    using K = CommandKind;
    const auto pos = [](Command& c) { c.position = {0.5f, -2.0f, 100.0f}; };
    const std::string triple = " 3F000000 C0000000 42C80000"; // 0.5, -2.0, 100.0
    return {
        CommandCase("cold reset", "1E 4B", Cmd(K::ResetMode, [](Command& c) { c.resetMode = 0x4B; })),
        CommandCase("factory reset", "1E 46", Cmd(K::ResetMode, [](Command& c) { c.resetMode = 0x46; })),
        CommandCase("version query", "1F", Cmd(K::RequestVersion)),
        CommandCase("time query", "21", Cmd(K::RequestTime)),
        CommandCase("initial XYZ", "23" + triple, Cmd(K::InitialPosXYZ, pos)),
        CommandCase("satellite selection query", "24", Cmd(K::RequestSatSelection)),
        CommandCase("soft reset", "25", Cmd(K::SoftReset)),
        CommandCase("health query", "26", Cmd(K::RequestHealth)),
        CommandCase("initial LLA", "2B" + triple, Cmd(K::InitialPosLLA, pos)),
        // time of week 100.0 s, week 1042
        CommandCase("GPS time", "2E 42C80000 0412", Cmd(K::GpsTime, [](Command& c) { c.time = {100.0f, 1042}; })),
        CommandCase("accurate XYZ", "31" + triple, Cmd(K::AccuratePosXYZ, pos)),
        CommandCase("accurate LLA", "32" + triple, Cmd(K::AccuratePosLLA, pos)),
        CommandCase("I/O options query", "35", Cmd(K::RequestIoOptions)),
        CommandCase("I/O options set", "35 16 02 01 00",
                    Cmd(K::SetIoOptions, [](Command& c) { c.ioOptions = {0x16, 0x02, 0x01, 0x00}; })),
        // request, type 2 (almanac), SV 32
        CommandCase("system data request", "38 01 02 20", Cmd(K::RequestSystemData, [](Command& c) {
                        c.systemData.dataType = 2, c.systemData.sv = 32;
                    })),
        // load, type 6 (ephemeris), SV 5, L 2, AB CD
        CommandCase("system data load", "38 02 06 05 02 ABCD", Cmd(K::LoadSystemData, [](Command& c) {
                        c.systemData.dataType = 6, c.systemData.sv = 5, c.systemData.dataLength = 2;
                        c.systemData.data[0] = 0xAB, c.systemData.data[1] = 0xCD;
                    })),
        CommandCase("system data load, L 0", "38 02 03 00 00",
                    Cmd(K::LoadSystemData, [](Command& c) { c.systemData.dataType = 3; })),
        CommandCase("tracking query", "3C 00", Cmd(K::RequestTracking)),
        CommandCase("DGPS mode query", "62 04", Cmd(K::RequestDgpsMode)),
        CommandCase("filters query", "70", Cmd(K::RequestFilters)),
        CommandCase("filters set", "70 01 00 01 00", Cmd(K::SetFilters, [](Command& c) { c.filters = {1, 0, 1, 0}; })),
        CommandCase("GPS configuration query", "BB 03", Cmd(K::RequestGpsConfig)),
        CommandCase("GPS configuration set", "BB" + kGpsHex,
                    Cmd(K::SetGpsConfig, [](Command& c) { c.gpsConfig = kGps; })),
        CommandCase("serial query, port 1", "BC 01",
                    Cmd(K::RequestSerialConfig, [](Command& c) { c.serialConfig.receiverPort = 1; })),
        // port 0, baud 8 twice, bits 3, parity 1, stop 0, 00, in 2, out 4, 00
        CommandCase("serial set", "BC 00 08 08 03 01 00 00 02 04 00", Cmd(K::SetSerialConfig, [](Command& c) {
                        c.serialConfig = {0, 8, 3, 1, 0, 2, 4, 0};
                    })),
        // port 255: the receiver applies the settings to the port it heard them on
        CommandCase("serial set, port 255", "BC FF 09 09 03 00 01 00 02 02 00", Cmd(K::SetSerialConfig, [](Command& c) {
                        c.serialConfig = {255, 9, 3, 0, 1, 2, 2, 0};
                    })),
        CommandCase("datum query", "8E 15", Cmd(K::RequestDatum)),
        CommandCase("datum set", "8E 15 0110", Cmd(K::SetDatum, [](Command& c) { c.datumIndex = 0x0110; })),
        CommandCase("save to flash", "8E 26", Cmd(K::SaveToFlash)),
    };
}

TEST(GoldenPackets, CommandsEncodeToTheirBytesAndParseBack)
{
    for (const GoldenCase& c : CommandCases()) {
        SCOPED_TRACE(c.name);
        c.check();
    }
}

// ---------------------------------------------------------------- frames

// Two frames as they come off the line, after two bytes of noise:
//   8F-15, datum 16: the data byte 0x10 is doubled.
//   5C: PRN 16 (0x10), channel 2 slot 3 (0x13), 9.0 AMU (41100000): two doubled bytes.
const std::string kDatumFrame = "10 8F 15 00 1010" + Times("00", 40) + "10 03";
const std::string kTrackFrame = "10 5C 1010 13 01 00 411010 00 00 3F800000 3F000000 00000000 00 00 00 00 10 03";

TEST(GoldenPackets, StuffedFramesThroughTheFrameScanner)
{
    const Bytes stream = Hex("55 AA " + kDatumFrame + kTrackFrame);
    // Whole, and one byte at a time: the same two packets either way.
    for (const size_t chunk : {stream.size(), size_t{1}}) {
        SCOPED_TRACE(chunk);
        std::vector<ScannedPacket> seen;
        std::vector<Bytes> data;
        FrameScanner scanner;
        for (size_t at = 0; at < stream.size(); at += chunk)
            scanner.Feed(stream.data() + at, std::min(chunk, stream.size() - at), [&](const ScannedPacket& p) {
                seen.push_back(p);
                data.emplace_back(p.data, p.data + p.length);
            });
        ASSERT_EQ(seen.size(), 2u);

        EXPECT_EQ(seen[0].id, 0x8F);
        EXPECT_EQ(seen[0].offset, 2u);
        EXPECT_EQ(seen[0].frameBytes, 48u); // DLE id, 43 data bytes, one doubling, DLE ETX
        Report8F15 datum;
        ASSERT_TRUE(ParseReport8F15(data[0].data(), data[0].size(), datum));
        EXPECT_EQ(datum.datumIndex, 16);

        EXPECT_EQ(seen[1].id, 0x5C);
        EXPECT_EQ(seen[1].offset, 50u);
        EXPECT_EQ(seen[1].frameBytes, 30u); // DLE id, 24 data bytes, two doublings, DLE ETX
        Report5C track;
        ASSERT_TRUE(ParseReport5C(data[1].data(), data[1].size(), track));
        EXPECT_TRUE(track == (Report5C{16, 0x13, 1, 0, 9.0f, 1.0f, 0.5f, 0.0f, 0, 0, 0, 0}));
        EXPECT_EQ(track.Channel(), 2);
        EXPECT_EQ(track.Slot(), 3);
        EXPECT_EQ(scanner.BytesOutsideFrames(), 2u);
    }
}

} // namespace
