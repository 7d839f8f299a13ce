// Faults the fuzzing of zelk_dump's decoder found, kept fixed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "link/framing.h"
#include "link/packets.h"
#include "tools/dump/dump_run.h"

namespace {

std::string DumpReport83(const Report83& report, bool json)
{
    uint8_t message[kMaxPacketMessage];
    const size_t length = EncodeReport83(report, message);
    std::vector<uint8_t> frame(2 * length + 3);
    frame.resize(BuildFrame(message, length, frame.data()));
    std::ostringstream out;
    DumpBuffer(frame.data(), frame.size(), json, out);
    return out.str();
}

// The number that follows key in line, read back as a double.
double NumberAfter(const std::string& line, const std::string& key)
{
    const size_t at = line.find(key);
    EXPECT_NE(at, std::string::npos) << key << " missing in " << line;
    return at == std::string::npos ? 0.0 : std::strtod(line.c_str() + at + key.size(), nullptr);
}

} // namespace

// A double-precision position far outside the earth used to be cut to the
// first 63 characters of its digits: 1e300 came out as about 1e62.
TEST(DumpRegression, HugeDoublesArePrintedWhole)
{
    Report83 report;
    report.xM = 1e300;
    report.yM = -2.5e200;
    report.zM = 3.0;
    for (const bool json : {false, true}) {
        const std::string line = DumpReport83(report, json);
        const std::string x = json ? "\"ecefX\":" : "ecefX=";
        const std::string y = json ? "\"ecefY\":" : "ecefY=";
        EXPECT_DOUBLE_EQ(NumberAfter(line, x) / 1e300, 1.0) << line;
        EXPECT_DOUBLE_EQ(NumberAfter(line, y) / -2.5e200, 1.0) << line;
        EXPECT_DOUBLE_EQ(NumberAfter(line, json ? "\"ecefZ\":" : "ecefZ="), 3.0) << line;
    }
}
