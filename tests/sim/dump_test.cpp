// The recording decoder: real captures accounted for packet by packet,
// fields in display units, JSON Lines, and a round trip of simulator output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "sim_harness.h"
#include "capture_facts.h"
#include "support/captures.h"
#include "tools/dump/dump_command.h"
#include "tools/dump/dump_format.h"
#include "tools/dump/dump_run.h"
#include "text_lines.h"

namespace {

TEST(ZelkDump, EveryCapturedPacketIsAccountedFor)
{
    ASSERT_EQ(CaptureNames().size(), Facts().size());
    for (const CaptureFacts& f : Facts()) {
        SCOPED_TRACE(f.name);
        const std::vector<uint8_t> bytes = ReadCapture(f.name);
        ASSERT_FALSE(bytes.empty());
        std::ostringstream out;
        const DumpSummary s = DumpBuffer(bytes.data(), bytes.size(), true, out);
        const std::vector<std::string> lines = Lines(out.str());
        EXPECT_EQ(lines.size(), s.packets);

        uint64_t fragmentBytes = 0, fragments = 0;
        for (const std::string& line : lines)
            if (line.find("\"fragment\":true") != std::string::npos) {
                ++fragments;
                fragmentBytes += 2; // a bare DLE ETX
            }
        std::map<std::string, uint64_t> whole = s.counts;
        if (fragments)
            whole.erase("00");
        EXPECT_EQ(whole, f.counts);
        EXPECT_EQ(s.bytesOutsideFrames + s.incompleteTailBytes + fragmentBytes, f.outsideBytes);
        EXPECT_EQ(s.bytes, bytes.size());
    }
}

TEST(ZelkDump, OffsetsPointAtEachFramesStart)
{
    const std::vector<uint8_t> bytes = ReadCapture("receiver-d.bin"); // many stuffed DLEs
    std::ostringstream out;
    DumpBuffer(bytes.data(), bytes.size(), true, out);
    int checked = 0;
    for (const std::string& line : Lines(out.str())) {
        const size_t at = line.find("\"offset\":");
        ASSERT_NE(at, std::string::npos);
        const uint64_t offset = std::stoull(line.substr(at + 9));
        const int id = std::stoi(line.substr(7, 2), nullptr, 16);
        ASSERT_LT(offset + 1, bytes.size());
        EXPECT_EQ(bytes[offset], 0x10);
        EXPECT_EQ(bytes[offset + 1], id);
        ++checked;
    }
    EXPECT_EQ(checked, 198);
}

std::string DumpOne(const std::vector<uint8_t>& message, bool json)
{
    const std::vector<uint8_t> frame = Framed(message);
    std::ostringstream out;
    DumpBuffer(frame.data(), frame.size(), json, out);
    return out.str();
}

std::vector<uint8_t> Message(std::vector<uint8_t> m, std::initializer_list<float> floats)
{
    for (float f : floats) {
        uint8_t b[4];
        PutFloatBE(f, b);
        m.insert(m.end(), b, b + 4);
    }
    return m;
}

TEST(ZelkDump, FieldsInDisplayUnits)
{
    // 0.5 rad = 28.64788976 degrees; 299.792458 m of clock bias = 1000 ns.
    const std::string lla = DumpOne(Message({0x4A}, {0.5f, -1.0f, 120.25f, 299.792458f, 3600.5f}), true);
    EXPECT_NE(lla.find("\"id\":\"4A\",\"offset\":0,\"len\":20"), std::string::npos) << lla;
    EXPECT_NE(lla.find("\"latDeg\":28.64788976"), std::string::npos) << lla;
    EXPECT_NE(lla.find("\"lonDeg\":-57.29577951"), std::string::npos) << lla;
    EXPECT_NE(lla.find("\"altM\":120.250"), std::string::npos) << lla;
    EXPECT_NE(lla.find("\"biasNs\":1000.00"), std::string::npos) << lla;
    EXPECT_NE(lla.find("\"fixTime\":3600.500"), std::string::npos) << lla;

    // 2.99792458 m/s of bias rate = 10 ppb.
    const std::string vel = DumpOne(Message({0x43}, {1.5f, -2.0f, 0.25f, 2.99792458f, 0.0f}), false);
    EXPECT_NE(vel.find("biasRatePpb=10.000"), std::string::npos) << vel;
    EXPECT_NE(vel.find("velX=1.500"), std::string::npos) << vel;

    // Fix mode byte 0x44 with five PRNs: 3-D, and the count (4) from bits 4-7.
    std::vector<uint8_t> fix = Message({0x6D, 0x44}, {2.5f, 1.5f, 2.0f, 1.0f});
    for (uint8_t prn : {2, 15, 29, 7, 16})
        fix.push_back(prn);
    const std::string sel = DumpOne(fix, true);
    EXPECT_NE(sel.find("\"fixDimension\":\"3-D\",\"fixSvCount\":4"), std::string::npos) << sel;
    EXPECT_NE(sel.find("\"pdop\":2.50"), std::string::npos) << sel;
    EXPECT_NE(sel.find("\"fixSvs\":[2,15,29,7,16]"), std::string::npos) << sel;

    // Version bytes 1, 12, 3, 7, 1: "1.12", "3/7/2001".
    const std::string ver = DumpOne({0x45, 1, 12, 3, 7, 1, 2, 0, 12, 31, 9}, false);
    EXPECT_NE(ver.find("navVersion=1.12 navDate=3/7/2001 sigVersion=2.0 sigDate=12/31/2009"), std::string::npos)
        << ver;
}

TEST(ZelkDump, UnknownIdsAndWrongLengthsAreShownInHex)
{
    const std::string unknown = DumpOne({0x8F, 0x20, 0x10, 0xFF}, true);
    EXPECT_EQ(unknown, "{\"id\":\"8F-20\",\"offset\":0,\"len\":3,\"hex\":\"2010ff\"}\n");
    const std::string shortTime = DumpOne({0x41, 0x01, 0x02}, false);
    EXPECT_NE(shortTime.find("41"), std::string::npos);
    EXPECT_NE(shortTime.find("hex=0102"), std::string::npos) << shortTime;
    EXPECT_NE(shortTime.find("length not of this report"), std::string::npos) << shortTime;
}

TEST(ZelkDump, RecordingOfSimulatorOutputRoundTrips)
{
    SimOptions o;
    o.startGpsSeconds = 2400.0 * 604800.0 + 16.0; // a time of week with a 0x10 byte in its float
    ReceiverSimulator sim(o);
    std::vector<uint8_t> recording;
    const std::vector<std::vector<uint8_t>> queries = {
        {0x3C, 0x00}, {0x24}, {0x8E, 0x15, 0x00, 0x10}, {0x38, 0x01, 2, 16}, {0xBB, 0x03}, {0x26}};
    for (int second = 0; second < 40; ++second) {
        sim.Advance(1.0);
        const auto frame = Framed(queries[static_cast<size_t>(second) % queries.size()]);
        sim.Receive(frame.data(), frame.size());
        const auto out = sim.TakeOutput();
        recording.insert(recording.end(), out.begin(), out.end());
    }
    std::map<std::string, uint64_t> expected;
    for (const SimPacket& p : SplitPackets(recording))
        ++expected[p.Key()];
    size_t stuffed = 0;
    for (size_t i = 0; i + 1 < recording.size(); ++i)
        if (recording[i] == 0x10 && recording[i + 1] == 0x10)
            ++stuffed, ++i;
    ASSERT_GT(stuffed, 0u);

    std::ostringstream out;
    const DumpSummary s = DumpBuffer(recording.data(), recording.size(), false, out);
    EXPECT_EQ(s.counts, expected);
    EXPECT_EQ(s.bytesOutsideFrames, 0u);
    EXPECT_EQ(s.incompleteTailBytes, 0u);
    EXPECT_NE(out.str().find("8F-15  "), std::string::npos);
    EXPECT_NE(out.str().find("datum=16"), std::string::npos);
    EXPECT_NE(out.str().find("sv=16"), std::string::npos);

    // Split anywhere, fed in pieces, the same packets come out.
    std::ostringstream pieces;
    Dumper dumper(pieces, false);
    for (size_t i = 0; i < recording.size(); i += 7)
        dumper.Feed(recording.data() + i, std::min<size_t>(7, recording.size() - i));
    EXPECT_EQ(dumper.Finish().counts, expected);
    EXPECT_EQ(pieces.str(), out.str());
}

TEST(ZelkDump, BuiltProgramDecodesACaptureFile)
{
    const std::string exe = std::string(JX_BINARY_DIR) + "/zelk_dump";
    const std::string outPath = testing::TempDir() + "zelk_dump_out.jsonl";
    const std::string errPath = testing::TempDir() + "zelk_dump_err.txt";
    const std::string cmd = exe + " --json " + JX_CAPTURES_DIR + "/receiver-d.bin >" + outPath + " 2>" + errPath;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream out(outPath), err(errPath);
    std::stringstream o, e;
    o << out.rdbuf();
    e << err.rdbuf();
    const auto lines = Lines(o.str());
    ASSERT_EQ(lines.size(), 198u);
    EXPECT_EQ(lines[0].rfind("{\"id\":", 0), 0u);
    EXPECT_NE(e.str().find("packets 198"), std::string::npos) << e.str();
    EXPECT_NE(e.str().find("  83 30"), std::string::npos) << e.str();
    EXPECT_NE(std::system((exe + " /no/such/file 2>/dev/null").c_str()), 0);
}

} // namespace

namespace {

TEST(ZelkDump, CommandLineReadsStandardInputAndRefusesUnknownOptions)
{
    const std::vector<uint8_t> frame = Framed({0x82, 0x03});
    std::istringstream in(std::string(frame.begin(), frame.end()));
    std::ostringstream out, err;
    volatile std::sig_atomic_t stop = 0;
    EXPECT_EQ(RunDumpCommand({"--json", "-"}, in, out, err, &stop), 0);
    EXPECT_EQ(out.str(), "{\"id\":\"82\",\"offset\":0,\"len\":1,\"dgpsMode\":3}\n");
    EXPECT_NE(err.str().find("packets 1,"), std::string::npos);
    EXPECT_NE(err.str().find("  82 1"), std::string::npos);

    std::istringstream none;
    EXPECT_EQ(RunDumpCommand({"--frobnicate"}, none, out, err, &stop), 2);
}

} // namespace

namespace {

TEST(ZelkDump, HexOptionAddsTheDataBytesOfDecodedPackets)
{
    const std::vector<uint8_t> frame = Framed({0x82, 0x10});
    volatile std::sig_atomic_t stop = 0;
    for (const bool json : {true, false}) {
        std::istringstream in(std::string(frame.begin(), frame.end()));
        std::ostringstream out, err;
        std::vector<std::string> args = {"--hex", "-"};
        if (json)
            args.insert(args.begin(), "--json");
        EXPECT_EQ(RunDumpCommand(args, in, out, err, &stop), 0);
        if (json)
            EXPECT_EQ(out.str(), "{\"id\":\"82\",\"offset\":0,\"len\":1,\"dgpsMode\":16,\"hex\":\"10\"}\n");
        else
            EXPECT_NE(out.str().find("dgpsMode=16 hex=10\n"), std::string::npos) << out.str();
    }
}

} // namespace

namespace {

// The output formatter writes numbers itself; they must stay exactly what
// "%.*f" printed before, ties, negative zero and huge values included.
TEST(ZelkDump, NumbersAreTheDigitsOfTheCLibrary)
{
    std::mt19937_64 random(19);
    std::vector<double> values = {0.0, -0.0, 0.125, 0.375, 2.5, -2.5, 1e300, -2.5e200, 5e-324, 0.0049999999999999,
                                  1.005, 123456789.125, -0.0005};
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v))
            values.push_back(v);
        values.push_back(static_cast<double>(static_cast<float>(random() % 20000000) / 1024.0f) - 9765.0);
    }
    for (const double v : values) {
        for (int decimals = 0; decimals <= 8; ++decimals) {
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
            std::string got;
            AppendNumber(got, v, decimals, false);
            ASSERT_EQ(got, expected) << decimals;
        }
    }
}

} // namespace
