// The packet codec against hand-assembled bytes: every report and command
// survives encode -> parse, refuses any other length, and lays its fields
// out big-endian at the offsets the receivers use.
#include <gtest/gtest.h>

#include <vector>

#include "link/packets.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Encodes with `encode`, checks the id and the length table, parses the data
// back, and checks that one byte more or less is refused.
template <typename T, typename Enc, typename Par>
void RoundTrip(uint8_t id, int subId, const T& value, Enc encode, Par parse)
{
    uint8_t msg[kMaxPacketMessage + 1] = {};
    const size_t n = encode(value, msg);
    ASSERT_GE(n, 1u);
    EXPECT_EQ(msg[0], id);
    const size_t len = n - 1;
    const int expected = ExpectedReportLength(id, subId);
    if (ReportLengthIsMinimum(id, subId))
        EXPECT_GE(static_cast<int>(len), expected);
    else
        EXPECT_EQ(static_cast<int>(len), expected) << std::hex << int(id);
    T back{};
    ASSERT_TRUE(parse(msg + 1, len, back)) << std::hex << int(id);
    EXPECT_TRUE(back == value) << std::hex << int(id);
    if (!ReportLengthIsMinimum(id, subId)) {
        T other{};
        EXPECT_FALSE(parse(msg + 1, len - 1, other)) << std::hex << int(id);
        EXPECT_FALSE(parse(msg + 1, len + 1, other)) << std::hex << int(id);
    }
}

Bytes Message(size_t (*encode)(const Report4A&, uint8_t*), const Report4A& r)
{
    uint8_t msg[kMaxPacketMessage];
    return Bytes(msg, msg + encode(r, msg));
}

TEST(Reports, EveryReportRoundTripsAndRefusesOtherLengths)
{
    RoundTrip(0x41, -1, Report41{332803.1875f, 1851, 17.0f}, EncodeReport41, ParseReport41);
    RoundTrip(0x42, -1, Report42{-2.0f, 1.5f, 100.0f, 3.0f}, EncodeReport42, ParseReport42);
    RoundTrip(0x43, -1, Report43{0.5f, -1.0f, 2.0f, 0.299792458f, 4.0f}, EncodeReport43, ParseReport43);
    RoundTrip(0x45, -1, Report45{{1, 12, 3, 7, 1}, {2, 0, 12, 31, 24}}, EncodeReport45, ParseReport45);
    RoundTrip(0x46, -1, Report46{8, 0x11}, EncodeReport46, ParseReport46);
    RoundTrip(0x4A, -1, Report4A{0.6544985f, -2.1336650f, 10.0f, 299.792458f, 1.0f}, EncodeReport4A, ParseReport4A);
    RoundTrip(0x4B, -1, Report4B{0x5A, 0x0A, 0x01}, EncodeReport4B, ParseReport4B);
    RoundTrip(0x4E, -1, Report4E{'Y'}, EncodeReport4E, ParseReport4E);
    RoundTrip(0x55, -1, Report55{0x16, 0x02, 0x01, 0x00}, EncodeReport55, ParseReport55);
    RoundTrip(0x56, -1, Report56{-1.234f, 0.0f, 0.5f, 0.1f, 9.0f}, EncodeReport56, ParseReport56);
    Report5C c5c{7, 0x10, 1, 2, 40.5f, 12.25f, 0.7853982f, -0.5f, 0, 1, 2, 3};
    RoundTrip(0x5C, -1, c5c, EncodeReport5C, ParseReport5C);
    RoundTrip(0x70, -1, Report70{1, 1, 0, 0}, EncodeReport70, ParseReport70);
    RoundTrip(0x82, -1, Report82{3}, EncodeReport82, ParseReport82);
    RoundTrip(0x83, -1, Report83{-2703535.5, -4261151.25, 3887302.125, 1e-3, 5.0f}, EncodeReport83, ParseReport83);
    RoundTrip(0x84, -1, Report84{0.36, -1.71, 1234.5, -7.25, 6.0f}, EncodeReport84, ParseReport84);
    RoundTrip(0x8F, 0x15, Report8F15{179}, EncodeReport8F15, ParseReport8F15);
    RoundTrip(0x8F, 0x26, Report8F26{{1, 2, 3, 4}}, EncodeReport8F26, ParseReport8F26);
    ReportBB bb;
    bb.config = {4, 3, 1, 0.17453294f, 4.0f, 12.0f, 8.0f, 30};
    RoundTrip(0xBB, -1, bb, EncodeReportBB, ParseReportBB);
    RoundTrip(0xBC, -1, ReportBC{0, 9, 3, 2, 1, 2, 4, 0}, EncodeReportBC, ParseReportBC);
}

TEST(Reports, FloatsTravelBigEndianAsIeeeBits)
{
    // 0x4A: 1.0, -2.0, 100.0, 0.5, 0.25 -> 3F800000 C0000000 42C80000 3F000000 3E800000
    const Bytes expected = {0x4A, 0x3F, 0x80, 0, 0, 0xC0, 0, 0, 0, 0x42, 0xC8, 0, 0, 0x3F, 0, 0, 0, 0x3E, 0x80, 0, 0};
    EXPECT_EQ(Message(EncodeReport4A, Report4A{1.0f, -2.0f, 100.0f, 0.5f, 0.25f}), expected);

    // 0x84: doubles 1.0 (3FF0...), -2.0 (C000...), 100.0 (4059...), 0.5 (3FE0...), then float 1.0.
    uint8_t d[36] = {0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x59, 0, 0, 0, 0, 0, 0,
                     0x3F, 0xE0, 0, 0, 0, 0, 0, 0, 0x3F, 0x80, 0, 0};
    Report84 r84;
    ASSERT_TRUE(ParseReport84(d, sizeof d, r84));
    EXPECT_EQ(r84, (Report84{1.0, -2.0, 100.0, 0.5, 1.0f}));
    EXPECT_FALSE(ParseReport84(d, 32, r84));
}

TEST(Reports, GpsTimeWeekIsUnsigned)
{
    const uint8_t d[10] = {0, 0, 0, 0, 0x80, 0x01, 0x41, 0x20, 0, 0};
    Report41 r;
    ASSERT_TRUE(ParseReport41(d, sizeof d, r));
    EXPECT_EQ(r.week, 32769);
    EXPECT_EQ(r.timeOfWeekS, 0.0f);
    EXPECT_EQ(r.utcOffsetS, 10.0f);
}

TEST(Reports, FixModeCarriesZeroToTwelvePrns)
{
    for (uint16_t count = 0; count <= 12; ++count) {
        Report6D r;
        r.fixModeBits = 0x44;
        r.pdop = 1.5f;
        r.tdop = 1.0f;
        r.prnCount = count;
        for (uint16_t i = 0; i < count; ++i)
            r.prns[i] = static_cast<int8_t>(i + 1);
        RoundTrip(0x6D, -1, r, EncodeReport6D, ParseReport6D);
        uint8_t msg[kMaxPacketMessage];
        EXPECT_EQ(EncodeReport6D(r, msg), 18u + count);
    }
    // Byte 0 0x44: dimension code 4, four satellites, whatever the list holds.
    uint8_t d[17 + 5] = {0x44, 0x3F, 0xC0, 0, 0};
    d[17] = 0xFF; // a signed PRN byte
    Report6D r;
    ASSERT_TRUE(ParseReport6D(d, sizeof d, r));
    EXPECT_EQ(r.DimensionCode(), 4);
    EXPECT_EQ(r.SatelliteCount(), 4);
    EXPECT_EQ(r.pdop, 1.5f);
    EXPECT_EQ(r.prnCount, 5);
    EXPECT_EQ(r.prns[0], -1);
    EXPECT_FALSE(ParseReport6D(d, 16, r));
}

TEST(Reports, LongestFixModeKeepsEveryPrn)
{
    uint8_t d[kMaxReportData] = {0x38};
    for (size_t i = kReport6DFixedBytes; i < sizeof d; ++i)
        d[i] = static_cast<uint8_t>(i);
    Report6D r;
    ASSERT_TRUE(ParseReport6D(d, sizeof d, r));
    EXPECT_EQ(r.prnCount, kMaxFixPrns);
    EXPECT_EQ(static_cast<uint8_t>(r.prns[kMaxFixPrns - 1]), static_cast<uint8_t>(kMaxReportData - 1));
    EXPECT_FALSE(ParseReport6D(d, kMaxReportData + 1, r));
}

TEST(Reports, TrackingChannelAndSlotShareByteOne)
{
    uint8_t d[24] = {12, 0x0B};
    Report5C r;
    ASSERT_TRUE(ParseReport5C(d, sizeof d, r));
    EXPECT_EQ(r.Channel(), 1);
    EXPECT_EQ(r.Slot(), 3);
    EXPECT_FALSE(ParseReport5C(d, 23, r));
}

TEST(Reports, DatumAndFlashRepliesNeedTheirSubId)
{
    uint8_t d[43] = {0x15, 0x00, 0xB3};
    Report8F15 datum;
    ASSERT_TRUE(ParseReport8F15(d, 43, datum));
    EXPECT_EQ(datum.datumIndex, 179);
    EXPECT_FALSE(ParseReport8F15(d, 42, datum));
    d[0] = 0x20;
    EXPECT_FALSE(ParseReport8F15(d, 43, datum));

    const uint8_t f[6] = {0x26, 0, 0, 0, 0, 0};
    Report8F26 flash;
    EXPECT_TRUE(ParseReport8F26(f, 5, flash));
    EXPECT_FALSE(ParseReport8F26(f, 4, flash));
    EXPECT_FALSE(ParseReport8F26(f, 6, flash));
    EXPECT_FALSE(ParseReport8F26(nullptr, 0, flash));
}

TEST(Reports, GpsConfigElevationMaskOfTenDegrees)
{
    ReportBB r;
    r.config.elevationMaskRad = static_cast<float>(10 * 0.01745329277777778);
    uint8_t msg[kMaxPacketMessage];
    ASSERT_EQ(EncodeReportBB(r, msg), 41u);
    EXPECT_EQ(Bytes(msg + 16, msg + 20), (Bytes{0x3E, 0x32, 0xB8, 0xC3}));
    ReportBB back;
    ASSERT_TRUE(ParseReportBB(msg + 1, 40, back));
    EXPECT_NEAR(back.config.elevationMaskRad * 57.29577866666166, 10.0, 1e-5);
    EXPECT_FALSE(ParseReportBB(msg + 1, 39, back));
}

TEST(Reports, SerialConfigReadsTheFirstBaudCopy)
{
    const uint8_t d[10] = {0, 8, 5, 3, 2, 1, 0, 2, 4, 0};
    ReportBC r;
    ASSERT_TRUE(ParseReportBC(d, sizeof d, r));
    EXPECT_EQ(r, (ReportBC{0, 8, 3, 2, 1, 2, 4, 0}));
}

TEST(Reports, SystemDataReplyMustHoldWhatItAnnounces)
{
    const uint8_t d[8] = {2, 3, 0, 4, 0xAA, 0xBB, 0xCC, 0xDD};
    Report58 r;
    ASSERT_TRUE(ParseReport58(d, 8, r));
    EXPECT_EQ(r.operation, 2);
    EXPECT_EQ(r.dataType, 3);
    EXPECT_EQ(r.dataLength, 4);
    EXPECT_EQ(r.data[3], 0xDD);
    EXPECT_FALSE(ParseReport58(d, 7, r)); // L = 4 but only 3 data bytes

    const uint8_t ack[3] = {1, 2, 17};
    ASSERT_TRUE(ParseReport58(ack, 3, r));
    EXPECT_EQ(r.operation, 1);
    EXPECT_EQ(r.sv, 17);
    EXPECT_EQ(r.dataLength, 0);
    EXPECT_FALSE(ParseReport58(ack, 2, r));

    Report58 full;
    full.operation = 2;
    full.dataType = 6;
    full.sv = 32;
    full.dataLength = 255;
    for (size_t i = 0; i < full.data.size(); ++i)
        full.data[i] = static_cast<uint8_t>(i);
    RoundTrip(0x58, -1, full, EncodeReport58, ParseReport58);
}

TEST(Reports, NameAndLengthTable)
{
    EXPECT_STREQ(ReportName(0x4A, -1), "single-precision LLA position");
    EXPECT_STREQ(ReportName(0x8F, 0x26), "save-to-flash confirmation");
    EXPECT_EQ(ReportName(0x8F, 0x20), nullptr);
    EXPECT_EQ(ReportName(0x5F, -1), nullptr);
    EXPECT_EQ(ExpectedReportLength(0x6D, -1), 17);
    EXPECT_TRUE(ReportLengthIsMinimum(0x6D, -1));
    EXPECT_FALSE(ReportLengthIsMinimum(0x84, -1));
    EXPECT_EQ(ExpectedReportLength(0x8F, 0x15), 43);
    EXPECT_EQ(ExpectedReportLength(0x8F, 0xAB), -1);
    EXPECT_EQ(ExpectedReportLength(0x13, -1), -1);
}

// Every length a line can deliver, in a buffer of exactly that size so that
// the sanitizer build catches any read past it.
TEST(Reports, AnyLengthIsSafeAndOnlyTheRightOneAccepted)
{
    for (size_t len = 0; len <= kMaxReportData; ++len) {
        std::vector<uint8_t> data(len, 0x10);
        if (len > 0)
            data[0] = 0x26; // makes 0x8F-26 the sub-id
        const uint8_t* d = data.data();
        Report41 r41; Report42 r42; Report43 r43; Report45 r45; Report46 r46; Report4A r4a; Report4B r4b;
        Report4E r4e; Report55 r55; Report56 r56; Report5C r5c; Report6D r6d; Report70 r70; Report82 r82;
        Report83 r83; Report84 r84; Report8F26 r8f26; ReportBB rbb; ReportBC rbc;
        const std::pair<bool, size_t> fixed[] = {
            {ParseReport41(d, len, r41), 10}, {ParseReport42(d, len, r42), 16}, {ParseReport43(d, len, r43), 20},
            {ParseReport45(d, len, r45), 10}, {ParseReport46(d, len, r46), 2},  {ParseReport4A(d, len, r4a), 20},
            {ParseReport4B(d, len, r4b), 3},  {ParseReport4E(d, len, r4e), 1},  {ParseReport55(d, len, r55), 4},
            {ParseReport56(d, len, r56), 20}, {ParseReport5C(d, len, r5c), 24}, {ParseReport70(d, len, r70), 4},
            {ParseReport82(d, len, r82), 1},  {ParseReport83(d, len, r83), 36}, {ParseReport84(d, len, r84), 36},
            {ParseReport8F26(d, len, r8f26), 5}, {ParseReportBB(d, len, rbb), 40}, {ParseReportBC(d, len, rbc), 10},
        };
        for (const auto& [accepted, length] : fixed)
            EXPECT_EQ(accepted, len == length) << "length " << len << " expected " << length;
        EXPECT_EQ(ParseReport6D(d, len, r6d), len >= 17);
        Report8F15 r8f15;
        EXPECT_FALSE(ParseReport8F15(d, len, r8f15)); // sub-id 0x26, not 0x15
        Report58 r58; // L byte 0x10 needs 20 bytes at least
        EXPECT_EQ(ParseReport58(d, len, r58), len == 3 || len >= 20);
        for (int id = 0; id < 256; ++id) {
            Command c;
            ParseCommand(static_cast<uint8_t>(id), d, len, c);
        }
    }
}

// ---------------------------------------------------------------- commands

Bytes EncodeToBytes(const Command& c)
{
    uint8_t msg[kMaxPacketMessage];
    return Bytes(msg, msg + EncodeCommand(c, msg));
}

Command Kind(CommandKind k)
{
    Command c;
    c.kind = k;
    return c;
}

TEST(Commands, FixedCommandsHaveTheirBytes)
{
    const std::pair<CommandKind, Bytes> table[] = {
        {CommandKind::RequestVersion, {0x1F}},     {CommandKind::RequestTime, {0x21}},
        {CommandKind::RequestSatSelection, {0x24}}, {CommandKind::SoftReset, {0x25}},
        {CommandKind::RequestHealth, {0x26}},      {CommandKind::RequestIoOptions, {0x35}},
        {CommandKind::RequestTracking, {0x3C, 0x00}}, {CommandKind::RequestDgpsMode, {0x62, 0x04}},
        {CommandKind::RequestFilters, {0x70}},     {CommandKind::RequestGpsConfig, {0xBB, 0x03}},
        {CommandKind::RequestDatum, {0x8E, 0x15}}, {CommandKind::SaveToFlash, {0x8E, 0x26}},
    };
    for (const auto& [kind, bytes] : table) {
        EXPECT_EQ(EncodeToBytes(Kind(kind)), bytes);
        Command parsed;
        ASSERT_TRUE(ParseCommand(bytes[0], bytes.data() + 1, bytes.size() - 1, parsed));
        EXPECT_EQ(parsed.kind, kind);
    }
    EXPECT_EQ(EncodeToBytes(Kind(CommandKind::Unknown)), Bytes{});
}

TEST(Commands, CommandsWithValuesRoundTrip)
{
    std::vector<Command> commands;
    Command c = Kind(CommandKind::ResetMode);
    c.resetMode = kFactoryResetMode;
    commands.push_back(c);
    for (CommandKind k : {CommandKind::InitialPosXYZ, CommandKind::InitialPosLLA, CommandKind::AccuratePosXYZ,
                          CommandKind::AccuratePosLLA}) {
        c = Kind(k);
        c.position = {0.5f, -2.0f, 100.0f};
        commands.push_back(c);
    }
    c = Kind(CommandKind::GpsTime);
    c.time = {1.0f, 1042};
    commands.push_back(c);
    c = Kind(CommandKind::SetIoOptions);
    c.ioOptions = {0x16, 0x02, 0x01, 0x00};
    commands.push_back(c);
    c = Kind(CommandKind::RequestSystemData);
    c.systemData.dataType = 2;
    c.systemData.sv = 32;
    commands.push_back(c);
    c = Kind(CommandKind::LoadSystemData);
    c.systemData.dataType = 6;
    c.systemData.sv = 5;
    c.systemData.dataLength = 3;
    c.systemData.data[0] = 0x10;
    commands.push_back(c);
    c = Kind(CommandKind::SetFilters);
    c.filters = {1, 0, 1, 0};
    commands.push_back(c);
    c = Kind(CommandKind::SetGpsConfig);
    c.gpsConfig = {4, 3, 1, 0.17453294f, 4.0f, 12.0f, 8.0f, 30};
    commands.push_back(c);
    c = Kind(CommandKind::RequestSerialConfig);
    c.serialConfig.receiverPort = 1;
    commands.push_back(c);
    c = Kind(CommandKind::SetSerialConfig);
    c.serialConfig = {0, 9, 3, 2, 1, 2, 4, 0};
    commands.push_back(c);
    c = Kind(CommandKind::SetDatum);
    c.datumIndex = 0x0110;
    commands.push_back(c);

    for (const Command& sent : commands) {
        const Bytes bytes = EncodeToBytes(sent);
        ASSERT_FALSE(bytes.empty());
        Command got;
        ASSERT_TRUE(ParseCommand(bytes[0], bytes.data() + 1, bytes.size() - 1, got)) << int(sent.kind);
        EXPECT_EQ(got, sent) << int(sent.kind);
        Command shorter;
        EXPECT_FALSE(ParseCommand(bytes[0], bytes.data() + 1, bytes.size() - 2, shorter) &&
                     shorter.kind == sent.kind)
            << int(sent.kind);
    }
}

TEST(Commands, HandAssembledMessages)
{
    Command datum = Kind(CommandKind::SetDatum);
    datum.datumIndex = 0x0110;
    EXPECT_EQ(EncodeToBytes(datum), (Bytes{0x8E, 0x15, 0x01, 0x10}));

    Command load = Kind(CommandKind::LoadSystemData);
    load.systemData.dataType = 3;
    EXPECT_EQ(EncodeToBytes(load), (Bytes{0x38, 0x02, 0x03, 0x00, 0x00}));

    Command time = Kind(CommandKind::GpsTime);
    time.time = {1.0f, 1042};
    EXPECT_EQ(EncodeToBytes(time), (Bytes{0x2E, 0x3F, 0x80, 0, 0, 0x04, 0x12}));

    Command serial = Kind(CommandKind::SetSerialConfig);
    serial.serialConfig = {0, 8, 3, 1, 0, 2, 4, 0};
    EXPECT_EQ(EncodeToBytes(serial), (Bytes{0xBC, 0, 8, 8, 3, 1, 0, 0, 2, 4, 0}));
}

TEST(Commands, WrongShapesAreRefused)
{
    Command c;
    const uint8_t two[2] = {1, 2};
    EXPECT_FALSE(ParseCommand(0x35, two, 2, c));           // options need 4 bytes
    EXPECT_EQ(c.kind, CommandKind::Unknown);
    const uint8_t load[6] = {0x02, 2, 1, 3, 0xAA, 0xBB};   // L = 3, two bytes follow
    EXPECT_FALSE(ParseCommand(0x38, load, 6, c));
    const uint8_t request[3] = {0x03, 2, 1};               // neither request nor load
    EXPECT_FALSE(ParseCommand(0x38, request, 3, c));
    const uint8_t tracking[1] = {0x01};
    EXPECT_FALSE(ParseCommand(0x3C, tracking, 1, c));
    EXPECT_FALSE(ParseCommand(0x8E, two, 1, c));           // sub-id 0x01 unknown
    EXPECT_FALSE(ParseCommand(0x1F, two, 1, c));           // version request has no data
    EXPECT_FALSE(ParseCommand(0x47, nullptr, 0, c));
    EXPECT_FALSE(ParseCommand(0x23, nullptr, 12, c));
}

} // namespace
