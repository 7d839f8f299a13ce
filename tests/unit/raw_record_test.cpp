// Recording frames: DLE framing with doubling as on the line, read back by the
// receive parser packet for packet; the writer's truncate, append, flush and
// failure results.
#include <gtest/gtest.h>

#include "support/parsed_packets.h"

#include <algorithm>
#include <filesystem>

#include "link/framing.h"
#include "model/formats/raw_record.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace {

using Packet = ParsedPacket;

std::vector<Packet> ParseAll(const std::vector<uint8_t>& bytes) { return ParseAllPackets(bytes); }

std::vector<uint8_t> FrameOf(int id, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out;
    AppendRawFrame(static_cast<uint8_t>(id), data.data(), static_cast<uint32_t>(data.size()), out);
    return out;
}

TEST(RawFrame, EmptyPacketIsFourBytes)
{
    EXPECT_EQ(FrameOf(0x4A, {}), (std::vector<uint8_t>{0x10, 0x4A, 0x10, 0x03}));
}

TEST(RawFrame, DataDleIsDoubledButTheIdIsNot)
{
    EXPECT_EQ(FrameOf(0x10, {0x01, 0x10, 0x03}),
              (std::vector<uint8_t>{0x10, 0x10, 0x01, 0x10, 0x10, 0x03, 0x10, 0x03}));
}

TEST(RawFrame, LongestPacketOfDlesIsWrittenWhole)
{
    const std::vector<uint8_t> frame = FrameOf(0x58, std::vector<uint8_t>(511, 0x10));
    ASSERT_EQ(frame.size(), 1026u);
    EXPECT_EQ(frame[1], 0x58);
    EXPECT_TRUE(std::all_of(frame.begin() + 2, frame.end() - 2, [](uint8_t b) { return b == 0x10; }));
    EXPECT_EQ(frame[1024], 0x10);
    EXPECT_EQ(frame[1025], 0x03);
}

TEST(RawFrame, ConcatenatedFramesParseBackToThePackets)
{
    std::vector<uint8_t> every(256);
    for (size_t i = 0; i < every.size(); ++i)
        every[i] = static_cast<uint8_t>(i);
    const std::vector<Packet> packets = {
        {0x4A, {1, 2, 3}}, {0x41, {}}, {0x5C, {0x10, 0x10, 0x03, 0x10}}, {0x8F, every},
        {0x58, std::vector<uint8_t>(511, 0x10)}, {0x46, {0x10}},
    };
    std::vector<uint8_t> bytes;
    for (const Packet& p : packets)
        AppendRawFrame(static_cast<uint8_t>(p.id), p.data.data(), static_cast<uint32_t>(p.data.size()), bytes);
    EXPECT_EQ(ParseAll(bytes), packets);
}

class RawWriter : public testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("rec.zlk");
    const uint8_t data[2] = {0x10, 0x20};
};

TEST_F(RawWriter, EachFrameIsOnDiskBeforeClose)
{
    RawRecordWriter w;
    ASSERT_TRUE(w.Open(path, false));
    ASSERT_TRUE(w.WriteFrame(0x41, data, 2));
    EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{0x10, 0x41, 0x10, 0x10, 0x20, 0x10, 0x03}));
    ASSERT_TRUE(w.WriteFrame(0x42, nullptr, 0));
    EXPECT_EQ(ReadFileBytes(path).size(), 11u);
}

TEST_F(RawWriter, OverwriteEmptiesAndAppendKeeps)
{
    WriteFileText(path, "old");
    {
        RawRecordWriter w;
        ASSERT_TRUE(w.Open(path, true));
        w.WriteFrame(0x41, nullptr, 0);
    }
    EXPECT_EQ(ReadFileText(path), std::string("old\x10\x41\x10\x03"));
    RawRecordWriter w;
    ASSERT_TRUE(w.Open(path, false));
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(RawWriter, MissingDirectoryFailsToOpen)
{
    RawRecordWriter w;
    EXPECT_FALSE(w.Open(dir.file("no/such/dir/rec.zlk"), false));
    EXPECT_FALSE(w.IsOpen());
    EXPECT_FALSE(w.WriteFrame(0x41, data, 2));
}

TEST_F(RawWriter, PathLongerThanAnyFixedNameFieldWorks)
{
    std::string deep = dir.path();
    for (int i = 0; i < 4; ++i) {
        deep += "/" + std::string(60, static_cast<char>('a' + i));
        std::filesystem::create_directory(deep);
    }
    const std::string longPath = deep + "/recording.zlk";
    ASSERT_GT(longPath.size(), 250u);
    RawRecordWriter w;
    ASSERT_TRUE(w.Open(longPath, false));
    EXPECT_TRUE(w.WriteFrame(0x41, nullptr, 0));
    EXPECT_EQ(ReadFileBytes(longPath).size(), 4u);
}

TEST_F(RawWriter, ADeviceIsRefusedAndAFailedWriteIsReported)
{
    RawRecordWriter w;
    EXPECT_FALSE(w.Open("/dev/null", true)) << "a device is not a recording file";
    ASSERT_TRUE(w.Open(path, true));
    FileSizeLimit full(0);
    EXPECT_FALSE(w.WriteFrame(0x41, data, 2));
}

} // namespace
