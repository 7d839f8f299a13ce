// The receive parser and transmit framing, driven with real bytes through
// PollPort on an in-memory port.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/framing.h"
#include "support/fake_serial.h"

namespace {

struct Seen {
    int id;
    std::vector<uint8_t> data;
};

std::vector<Seen> g_seen;
bool g_setWaitFlag = false;

void Record(PortRecord& port)
{
    g_seen.push_back({port.id, std::vector<uint8_t>(port.data, port.data + port.length)});
    if (g_setWaitFlag)
        PacketWaitDone = 1;
}

class FramingTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_seen.clear();
        g_setWaitFlag = false;
        line = AttachFakeSerial(2);
    }
    void Poll(const std::vector<uint8_t>& bytes, uint8_t stopOnFlag = 0)
    {
        Feed(*line, bytes);
        PollPort(PortTable[2], Record, stopOnFlag);
    }
    std::shared_ptr<FakeSerial::State> line;
};

TEST_F(FramingTest, EmptyAndStuffedPacketsComeOutWhole)
{
    Poll({0x10, 0x41, 0x10, 0x03});
    Poll({0x10, 0x8F, 0x15, 0x10, 0x10, 0x20, 0x10, 0x03});
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].id, 0x41);
    EXPECT_TRUE(g_seen[0].data.empty());
    EXPECT_EQ(g_seen[1].id, 0x8F);
    EXPECT_EQ(g_seen[1].data, (std::vector<uint8_t>{0x15, 0x10, 0x20}));
}

TEST_F(FramingTest, FrameSplitAcrossReadsAndAtEveryByte)
{
    Poll({0x10, 0x4A, 0x01});
    EXPECT_TRUE(g_seen.empty());
    Poll({0x02, 0x10, 0x03});
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].data, (std::vector<uint8_t>{0x01, 0x02}));

    // A stuffed DLE split between its two bytes still pairs up.
    const std::vector<uint8_t> frame = {0x10, 0x8E, 0x15, 0x01, 0x10, 0x10, 0x10, 0x03};
    for (uint8_t b : frame)
        Poll({b});
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].id, 0x8E);
    EXPECT_EQ(g_seen[1].data, (std::vector<uint8_t>{0x15, 0x01, 0x10}));
}

TEST_F(FramingTest, GarbageBeforeAndBetweenFramesIsDiscarded)
{
    Poll({0xFF, 0x00, 0x03, 0x55, 0x10, 0x46, 0x00, 0x01, 0x10, 0x03, 0x77, 0x88, 0x10, 0x4B, 0x5A, 0x00, 0x01, 0x10,
          0x03});
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].id, 0x46);
    EXPECT_EQ(g_seen[0].data, (std::vector<uint8_t>{0x00, 0x01}));
    EXPECT_EQ(g_seen[1].id, 0x4B);
    EXPECT_EQ(g_seen[1].data, (std::vector<uint8_t>{0x5A, 0x00, 0x01}));
}

TEST_F(FramingTest, StrayBytesThenDleEtxRepeatPreviousId)
{
    // The id is kept after a packet, so stray bytes closed by DLE ETX come
    // out as a packet of the previous id: the decoders' length checks reject it.
    Poll({0x10, 0x82, 0x02, 0x10, 0x03, 0x01, 0x02, 0x10, 0x03});
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].id, 0x82);
    EXPECT_EQ(g_seen[1].data, (std::vector<uint8_t>{0x01, 0x02}));
}

TEST_F(FramingTest, LongestPacketWholeAndOverflowBecomesIdZero)
{
    // 511 data bytes of 0x10: every one doubled on the line.
    std::vector<uint8_t> frame = {0x10, 0x58};
    for (int i = 0; i < 511; ++i) {
        frame.push_back(0x10);
        frame.push_back(0x10);
    }
    frame.push_back(0x10);
    frame.push_back(0x03);
    Poll(frame);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].id, 0x58);
    EXPECT_EQ(g_seen[0].data, std::vector<uint8_t>(511, 0x10));

    std::vector<uint8_t> tooLong = {0x10, 0x58};
    tooLong.insert(tooLong.end(), 512, 0x22);
    tooLong.push_back(0x10);
    tooLong.push_back(0x03);
    Poll(tooLong);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].id, 0);
    EXPECT_EQ(g_seen[1].data.size(), 0u);

    // After the overflow the parser is in step with the line again.
    Poll({0x10, 0x41, 0x01, 0x10, 0x03});
    ASSERT_EQ(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[2].id, 0x41);
}

TEST_F(FramingTest, EmptyQueueIsNotRead)
{
    Poll({0x10, 0x41});
    const int readsBefore = line->reads;
    PortTable[2].bytesLeft = 5; // as left by a stopped read
    PollPort(PortTable[2], Record, 0);
    EXPECT_EQ(line->reads, readsBefore);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(PortTable[2].collectLen, 0);
    EXPECT_EQ(PortTable[2].id, 0x41);
}

TEST_F(FramingTest, StopOnFlagDropsTheRestOfTheRead)
{
    g_setWaitFlag = true;
    Poll({0x10, 0x58, 0x01, 0x10, 0x03, 0x10, 0x58, 0x02, 0x10, 0x03}, 1);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].data, (std::vector<uint8_t>{0x01}));
    // The second packet was in the same read and is gone.
    PacketWaitDone = 0;
    PollPort(PortTable[2], Record, 1);
    EXPECT_EQ(g_seen.size(), 1u);

    // Without stop-on-flag both packets of one read are handled.
    g_seen.clear();
    PacketWaitDone = 0;
    Poll({0x10, 0x58, 0x01, 0x10, 0x03, 0x10, 0x58, 0x02, 0x10, 0x03}, 0);
    EXPECT_EQ(g_seen.size(), 2u);
}

TEST_F(FramingTest, VanishedDeviceIsHarmless)
{
    Feed(*line, {0x10, 0x41, 0x10, 0x03});
    line->gone = true;
    PollPort(PortTable[2], Record, 0);
    EXPECT_TRUE(g_seen.empty());
    const uint8_t msg[] = {0x26};
    SendFrame(1, msg, PortTable[2]);
    EXPECT_TRUE(line->written.empty());
}

TEST_F(FramingTest, SendFrameStuffsIdAndData)
{
    const uint8_t msg[] = {0x8E, 0x10};
    SendFrame(2, msg, PortTable[2]);
    EXPECT_EQ(line->written, (std::vector<uint8_t>{0x10, 0x8E, 0x10, 0x10, 0x10, 0x03}));
}

TEST_F(FramingTest, LongestLoadFramedWholeAndReadBack)
{
    // 0x38 0x02 type sv L then 255 bytes of 0x10: 523 bytes on the line.
    std::vector<uint8_t> msg = {0x38, 0x02, 0x10, 0x10, 0xFF};
    msg.insert(msg.end(), 255, 0x10);
    SendFrame(static_cast<int>(msg.size()), msg.data(), PortTable[2]);
    const auto stuffed = static_cast<size_t>(std::count(msg.begin(), msg.end(), 0x10));
    ASSERT_EQ(stuffed, 257u);
    ASSERT_EQ(line->written.size(), msg.size() + stuffed + 3u);
    EXPECT_EQ(line->written.front(), 0x10);
    EXPECT_EQ(line->written[line->written.size() - 2], 0x10);
    EXPECT_EQ(line->written.back(), 0x03);

    // Looping the frame back through the parser gives the message again.
    Poll(line->written);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].id, 0x38);
    EXPECT_EQ(g_seen[0].data, std::vector<uint8_t>(msg.begin() + 1, msg.end()));
}

TEST_F(FramingTest, OverlongMessageIsRefusedNotTruncated)
{
    std::vector<uint8_t> msg(kMaxMessageBytes + 1, 0x10);
    SendFrame(static_cast<int>(msg.size()), msg.data(), PortTable[2]);
    EXPECT_TRUE(line->written.empty());
}

TEST(ByteOrder, ReadersAndWritersAgree)
{
    uint8_t buf[8];
    PutInt16BE(-2, buf);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(buf[1], 0xFE);
    EXPECT_EQ(ReadInt16BE(buf), -2);
    PutFloatBE(static_cast<float>(10.0 * 0.01745329277777778), buf);
    EXPECT_EQ(ReadUInt32BE(buf), 0x3E32B8C3u);
    const uint8_t one[] = {0x3F, 0xF0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ReadDoubleBE(one), 1.0);
    PutDoubleBE(-37.8, buf);
    EXPECT_EQ(ReadDoubleBE(buf), -37.8);
}

} // namespace
