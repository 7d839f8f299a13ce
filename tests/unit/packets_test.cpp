// The packet codec's edges: lengths, sub-ids, the longest packets and the
// system data reply. The bytes of each report and command are pinned in
// golden_packets_test.cpp.
#include <gtest/gtest.h>

#include <vector>

#include "link/gnss_reports.h"
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
    EXPECT_EQ(ReportName(0x8F, 0x42), nullptr);
    EXPECT_EQ(ReportName(0x5F, -1), nullptr);
    EXPECT_EQ(ExpectedReportLength(0x6D, -1), 17);
    EXPECT_TRUE(ReportLengthIsMinimum(0x6D, -1));
    EXPECT_FALSE(ReportLengthIsMinimum(0x84, -1));
    EXPECT_EQ(ExpectedReportLength(0x8F, 0x15), 43);
    EXPECT_EQ(ExpectedReportLength(0x8F, 0xAB), 17);
    EXPECT_EQ(ExpectedReportLength(0x1C, 0x81), 10);
    EXPECT_EQ(ExpectedReportLength(0x1C, -1), -1); // 0x1C is known only with its sub-id
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

// The newer reports refuse other lengths, a wrong sub-id, and name or list
// lengths that disagree with the bytes that arrived.
TEST(Reports, NewerReportsRefuseWhatDoesNotFit)
{
    uint8_t d[80] = {0xAB};
    Report8FAB ab;
    EXPECT_TRUE(ParseReport8FAB(d, 17, ab));
    EXPECT_FALSE(ParseReport8FAB(d, 16, ab));
    EXPECT_FALSE(ParseReport8FAB(d, 18, ab));
    d[0] = 0xAC;
    EXPECT_FALSE(ParseReport8FAB(d, 17, ab));
    Report8FAC ac;
    EXPECT_TRUE(ParseReport8FAC(d, 68, ac));
    EXPECT_FALSE(ParseReport8FAC(d, 67, ac));

    CompactFix fix;
    d[0] = 0x23;
    EXPECT_TRUE(ParseReport8F23(d, 29, fix));
    EXPECT_FALSE(ParseReport8F20(d, 64, fix)); // another sub-id
    d[0] = 0x20;
    EXPECT_FALSE(ParseReport8F20(d, 63, fix));

    uint8_t c[20] = {};
    c[17] = 2; // two PRNs announced
    Report6C six;
    EXPECT_TRUE(ParseReport6C(c, 20, six));
    EXPECT_EQ(six.prnCount, 2);
    EXPECT_FALSE(ParseReport6C(c, 19, six));
    c[17] = 3;
    EXPECT_FALSE(ParseReport6C(c, 20, six));

    uint8_t v[14] = {0x81, 0, 1, 5, 0, 4, 3, 0x07, 0xE2, 4, 'A', 'B', 'C', 'D'};
    Report1C81 fw;
    EXPECT_TRUE(ParseReport1C81(v, 14, fw));
    EXPECT_EQ(fw.productName, "ABCD");
    EXPECT_FALSE(ParseReport1C81(v, 13, fw)); // the name is cut short
    v[0] = 0x83;
    EXPECT_FALSE(ParseReport1C81(v, 14, fw));
}

// What the simulator sends parses back to the same values.
TEST(Reports, SimulatedTimingReportsRoundTrip)
{
    Report8FAB ab{239909, 2076, 18, 0x01, 29, 38, 18, 22, 10, 2019};
    RoundTrip(0x8F, 0xAB, ab, EncodeReport8FAB, ParseReport8FAB);
    Report8FAC ac;
    ac.receiverMode = 7;
    ac.minorAlarms = 0x0820;
    ac.ppsOffsetNs = -3.5f;
    ac.latRad = 0.7215;
    ac.ppsQuantisationNs = 1.6f;
    RoundTrip(0x8F, 0xAC, ac, EncodeReport8FAC, ParseReport8FAC);
    Report5D sat;
    sat.prn = 78;
    sat.system = 1;
    sat.signalLevelDbHz = 45;
    RoundTrip(0x5D, -1, sat, EncodeReport5D, ParseReport5D);
    RoundTrip(0x54, -1, Report54{5693.6f, 62.8f, 254161.0f}, EncodeReport54, ParseReport54);
    Report6C six;
    six.fixModeBits = 5;
    six.prnCount = 3;
    six.prns = {25, 78, 11};
    RoundTrip(0x6C, -1, six, EncodeReport6C, ParseReport6C);
    EXPECT_EQ(SatelliteLabel(1, 78), "R14");
    EXPECT_EQ(SatelliteLabel(3, 11), "E11");
    EXPECT_EQ(SatelliteLabel(1, 7), "R07");
}

} // namespace
