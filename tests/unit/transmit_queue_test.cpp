// The per-port transmit queues on in-memory lines with a virtual clock:
// order and spacing per port, ports side by side, a frame the line took
// only in part finished before the next, a stalled line's drops counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "link/commands.h"
#include "link/transmit_queue.h"
#include "support/fake_serial.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

TransmitClock::time_point g_now{};
TransmitClock::time_point VirtualNow() { return g_now; }

// A line that takes at most `room` more bytes (unlimited while room < 0).
class NarrowLine : public FakeSerial {
public:
    NarrowLine(std::shared_ptr<FakeSerial::State> s, long& room, bool& connecting)
        : FakeSerial(std::move(s)), room_(room), connecting_(connecting)
    {
    }
    DeviceState State() const override { return connecting_ ? DeviceState::Connecting : GoneAwareDevice::State(); }
    long Write(const uint8_t* bytes, size_t count) override
    {
        const long n = room_ < 0 ? static_cast<long>(count) : std::min(room_, static_cast<long>(count));
        if (room_ >= 0)
            room_ -= n;
        return FakeSerial::Write(bytes, static_cast<size_t>(n));
    }

private:
    long& room_;
    bool& connecting_;
};

class TransmitQueueTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_now = {};
        Pacing().now = &VirtualNow;
        Pacing().sendPauseMs = 10;
        for (int slot : {0, 1}) {
            lines[slot] = std::make_shared<FakeSerial::State>();
            PortRecord& port = PortTable[static_cast<size_t>(slot)];
            port.handle = std::make_unique<NarrowLine>(lines[slot], room[slot], connecting[slot]);
            port.open = 1;
            port.slot = slot;
        }
    }

    void Queue(int slot, Bytes frame) { QueueFrame(slot, frame.data(), frame.size()); }
    int At(std::chrono::milliseconds t)
    {
        g_now = TransmitClock::time_point{} + t;
        return DrainTransmitQueues();
    }

    std::shared_ptr<FakeSerial::State> lines[2];
    long room[2] = {-1, -1};
    bool connecting[2] = {false, false};
};

TEST_F(TransmitQueueTest, OnePortKeepsOrderAndSpacingWhileAnotherSendsAlongside)
{
    Queue(0, {1, 1});
    Queue(0, {2, 2});
    Queue(0, {3, 3});
    Queue(1, {9});
    // The first frame of each port goes out at once, side by side.
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1}));
    EXPECT_EQ(lines[1]->written, (Bytes{9}));
    EXPECT_EQ(At(0ms), 10);
    EXPECT_EQ(At(9ms), 1);
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1}));
    EXPECT_EQ(At(10ms), 10);
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1, 2, 2}));
    EXPECT_EQ(At(25ms), -1);
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(QueuedFrames(0), 0u);
}

TEST_F(TransmitQueueTest, PartFrameIsFinishedFirstAndAStalledLineDropsAndCounts)
{
    room[0] = 3;
    Queue(0, {1, 1, 1, 1, 1});
    Queue(0, {2, 2});
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1, 1}));
    EXPECT_EQ(At(50ms), 0) << "a full line is retried at once";
    room[0] = 100;
    EXPECT_EQ(At(51ms), 10) << "the rest of the first frame, then the spacing";
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1, 1, 1, 1}));
    At(61ms);
    EXPECT_EQ(lines[0]->written, (Bytes{1, 1, 1, 1, 1, 2, 2}));

    // A line that takes nothing: the queue fills, then drops and counts.
    room[0] = 0;
    for (size_t i = 0; i < kTransmitQueueFrames + 5; ++i)
        Queue(0, {7});
    EXPECT_EQ(QueuedFrames(0), kTransmitQueueFrames);
    EXPECT_EQ(DroppedFrames(0), 5u);
    EXPECT_EQ(DroppedFrames(1), 0u);
    Queue(1, {8});
    EXPECT_EQ(lines[1]->written, (Bytes{8})) << "another port is not held up";

    // The port closes: its queue is forgotten.
    ClosePort(PortTable[0]);
    EXPECT_EQ(QueuedFrames(0), 0u);
}

TEST_F(TransmitQueueTest, AConnectingLineHoldsItsFramesWithoutAskingForATimer)
{
    connecting[0] = true;
    Queue(0, {1});
    Queue(0, {2});
    EXPECT_TRUE(lines[0]->written.empty());
    EXPECT_EQ(At(100ms), -1) << "nothing falls due while the connection is being made";
    connecting[0] = false;
    EXPECT_EQ(At(200ms), 10);
    EXPECT_EQ(lines[0]->written, (Bytes{1}));
    At(210ms);
    EXPECT_EQ(lines[0]->written, (Bytes{1, 2}));
}

} // namespace
