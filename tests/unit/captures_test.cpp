// Real receiver traffic through PollPort in reads of varied sizes: the
// packets counted per id (and 0x8F sub-id) must match what was recorded.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "link/framing.h"
#include "support/captures.h"
#include "support/fake_serial.h"

namespace {

std::map<std::string, int> g_counts;

std::string Key(const PortRecord& port)
{
    char key[8];
    if (port.id == 0x8F && port.length > 0)
        std::snprintf(key, sizeof key, "8F-%02X", port.data[0]);
    else
        std::snprintf(key, sizeof key, "%02X", port.id);
    return key;
}

void Count(PortRecord& port) { ++g_counts[Key(port)]; }

struct CaptureCase {
    const char* file;
    std::map<std::string, int> counts; // packets of the ids the receiver sent
};

const CaptureCase kCases[] = {
    {"receiver-a.bin", {{"41", 6}, {"46", 6}, {"4B", 5}, {"5C", 89}, {"6D", 30}, {"82", 2}, {"8F-20", 30}}},
    {"receiver-b.bin", {{"41", 10}, {"46", 12}, {"4B", 11}, {"5C", 105}, {"6D", 50}, {"82", 11}, {"8F-20", 39}}},
    {"receiver-c.bin", {{"41", 8}, {"46", 8}, {"4B", 8}, {"56", 41}, {"6D", 41}, {"82", 41}, {"84", 40}}},
    {"receiver-d.bin",
     {{"41", 6}, {"46", 6}, {"4B", 6}, {"5C", 60}, {"6D", 30}, {"82", 30}, {"83", 30}, {"8F-20", 30}}},
    {"receiver-e.bin", {{"8F-AB", 59}, {"8F-AC", 59}}},
    {"receiver-f.bin", {{"46", 5}, {"4B", 5}, {"5C", 50}, {"6D", 5}, {"8F-AB", 30}, {"8F-AC", 30}}},
    {"receiver-g.bin", {{"46", 6}, {"4B", 6}, {"5C", 66}, {"6D", 38}, {"8F-AB", 38}, {"8F-AC", 38}}},
    {"receiver-h.bin",
     {{"13", 1}, {"1C", 2}, {"41", 1}, {"45", 1}, {"46", 5}, {"4B", 5}, {"54", 25}, {"55", 2}, {"5D", 65},
      {"6C", 27}, {"8F-42", 2}, {"8F-A5", 2}, {"8F-A9", 1}, {"8F-AB", 27}, {"8F-AC", 27}}},
    {"receiver-k.bin",
     {{"41", 354}, {"46", 354}, {"4B", 354}, {"5F", 354}, {"6D", 354}, {"82", 354}, {"8F-23", 354}}},
    {"receiver-l.bin", {{"8F-AB", 107}, {"8F-AC", 106}}},
};

class CaptureReplay : public testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureReplay, EveryPacketParsedInAnyReadSize)
{
    const CaptureCase& c = GetParam();
    const std::vector<uint8_t> bytes = ReadCapture(c.file);
    ASSERT_FALSE(bytes.empty()) << c.file;

    for (size_t chunk : {size_t{1}, size_t{7}, size_t{64}, size_t{1000}, size_t{8192}}) {
        g_counts.clear();
        ResetLinkState();
        auto line = AttachFakeSerial(0);
        for (size_t at = 0; at < bytes.size(); at += chunk) {
            const size_t end = std::min(bytes.size(), at + chunk);
            Feed(*line, std::vector<uint8_t>(bytes.begin() + static_cast<long>(at),
                                             bytes.begin() + static_cast<long>(end)));
            PollPort(PortTable[0], Count, 0);
        }
        for (const auto& [key, expected] : c.counts)
            EXPECT_EQ(g_counts[key], expected) << c.file << " id " << key << " read size " << chunk;
        // Anything else that came out is line noise: a stray start or end,
        // never more than the two ends of the recording.
        int other = 0;
        for (const auto& [key, n] : g_counts)
            if (!c.counts.count(key))
                other += n;
        EXPECT_LE(other, 2) << c.file;
    }
}

INSTANTIATE_TEST_SUITE_P(Receivers, CaptureReplay, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CaptureCase>& param_info) {
                             std::string name = param_info.param.file;
                             name = name.substr(9, 1);
                             return "receiver_" + name;
                         });

} // namespace
