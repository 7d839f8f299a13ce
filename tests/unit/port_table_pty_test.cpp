// The port table's open, probe and close on real pseudo-terminals reached
// through the COM mapping, and the per-tick read of a real device.
#include <gtest/gtest.h>

#include <poll.h>

#include "link/framing.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/pty.h"
#include "support/temp_dir.h"

namespace {

struct Received {
    int id;
    std::vector<uint8_t> data;
};
std::vector<Received> received;

void Collect(PortRecord& port)
{
    received.push_back({port.id, std::vector<uint8_t>(port.data, port.data + port.length)});
}

PortRecord& Slot(int slot) { return PortTable[static_cast<size_t>(slot)]; }

struct PortsOnPty : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(com3.ok());
        ASSERT_TRUE(com5.ok());
        SetComDevice(3, com3.devicePath());
        SetComDevice(5, com5.devicePath());
        received.clear();
    }

    // Polls the slot until the handler saw count packets or about a second passed.
    void PollUntil(PortRecord& port, size_t count)
    {
        for (int i = 0; i < 200 && received.size() < count; ++i) {
            PollPort(port, Collect, 0);
            if (received.size() < count)
                poll(nullptr, 0, 5);
        }
    }

    PtyPair com3;
    PtyPair com5;
};

TEST_F(PortsOnPty, OpenSlotOpensTheMappedDeviceAt9600Odd)
{
    PortRecord& port = Slot(2);
    port.monitored = port.packetSeen = port.activeLastPeriod = 1;
    port.readPos = port.collectLen = 7;
    port.dlePending = 1;

    ASSERT_EQ(OpenSlot(2), 0);
    EXPECT_EQ(port.open, 1);
    EXPECT_EQ(port.slot, 2);
    EXPECT_EQ(port.searchStep, 9);
    EXPECT_EQ(port.monitored, 0);
    EXPECT_EQ(port.packetSeen, 0);
    EXPECT_EQ(port.activeLastPeriod, 0);
    EXPECT_EQ(port.readPos, 0);
    EXPECT_EQ(port.collectLen, 0);
    EXPECT_EQ(port.dlePending, 0);

    termios tio{};
    ASSERT_TRUE(com3.DeviceTermios(tio));
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_TRUE(tio.c_cflag & PARODD);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(Slot(4).open, 0);
}

TEST_F(PortsOnPty, OpenSlotOfAnOpenPortFailsTheProbeAndLeavesItOpen)
{
    ASSERT_EQ(OpenSlot(4), 0);
    Slot(4).searchStep = 2;
    Slot(4).monitored = 1;
    EXPECT_FALSE(ProbePort(4));
    EXPECT_EQ(OpenSlot(4), -1);
    EXPECT_EQ(Slot(4).open, 1);
    EXPECT_EQ(Slot(4).monitored, 1);
    EXPECT_EQ(Slot(4).searchStep, 2);
    // Still the same working device.
    ASSERT_TRUE(com5.Write({0x10, 0x55, 0x01, 0x10, 0x03}));
    PollUntil(Slot(4), 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].id, 0x55);
}

TEST_F(PortsOnPty, UnmappedAndOutOfRangeSlotsDoNotOpen)
{
    EXPECT_FALSE(ProbePort(0));
    EXPECT_EQ(OpenSlot(0), -1);
    EXPECT_EQ(OpenSlot(-1), -1);
    EXPECT_EQ(OpenSlot(16), -1);
    EXPECT_EQ(Slot(0).open, 0);
    EXPECT_EQ(Slot(0).searchStep, 0);
}

TEST_F(PortsOnPty, ProbeReleasesTheDeviceAndFailsWhileAnotherHoldsIt)
{
    EXPECT_TRUE(ProbePort(2));
    EXPECT_TRUE(ProbePort(2));
    auto holder = OpenSerialDevice(com3.devicePath());
    ASSERT_NE(holder, nullptr);
    EXPECT_FALSE(ProbePort(2));
    EXPECT_EQ(OpenSlot(2), -1);
    EXPECT_EQ(Slot(2).open, 0);
    holder.reset();
    EXPECT_EQ(OpenSlot(2), 0);
}

TEST_F(PortsOnPty, OpenPortFailureClearsOpen)
{
    PortRecord& port = Slot(6);
    port.open = 1;
    EXPECT_EQ(OpenPort(port, "/dev/no-such-serial-device", 6), -1);
    EXPECT_EQ(port.open, 0);
    EXPECT_EQ(port.handle, nullptr);
}

TEST_F(PortsOnPty, ClosePortReleasesTheDeviceAndKeepsTheSearchStep)
{
    ASSERT_EQ(OpenSlot(2), 0);
    PortRecord& port = Slot(2);
    port.monitored = port.packetSeen = port.activeLastPeriod = 1;
    port.searchStep = 4;
    ClosePort(port);
    EXPECT_EQ(port.open, 0);
    EXPECT_EQ(port.monitored, 0);
    EXPECT_EQ(port.packetSeen, 0);
    EXPECT_EQ(port.activeLastPeriod, 0);
    EXPECT_EQ(port.searchStep, 4);
    EXPECT_EQ(port.handle, nullptr);
    EXPECT_TRUE(ProbePort(2));
    ClosePort(port); // closing twice is harmless
    EXPECT_EQ(OpenSlot(2), 0);
}

TEST_F(PortsOnPty, SetLineSettingsChangesAnOpenPortInPlace)
{
    EXPECT_EQ(SetLineSettings(nullptr, 9600, 8, 1, 0), -1);
    ASSERT_EQ(OpenSlot(2), 0);
    EXPECT_EQ(SetLineSettings(Slot(2).handle.get(), 19200, 8, 2, 2), 0);
    termios tio{};
    ASSERT_TRUE(com3.DeviceTermios(tio));
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_FALSE(tio.c_cflag & PARODD);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(SetLineSettings(Slot(2).handle.get(), 12345, 8, 1, 0), -1);
    EXPECT_EQ(Slot(2).open, 1);
}

TEST_F(PortsOnPty, PollPortDecodesAFrameFromTheLine)
{
    ASSERT_EQ(OpenSlot(2), 0);
    // Id 0x4A with a stuffed DLE in the data, then the first half of a second frame.
    ASSERT_TRUE(com3.Write({0x10, 0x4A, 0x01, 0x10, 0x10, 0xFF, 0x10, 0x03, 0x10, 0x41, 0x00}));
    PollUntil(Slot(2), 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].id, 0x4A);
    EXPECT_EQ(received[0].data, (std::vector<uint8_t>{0x01, 0x10, 0xFF}));

    ASSERT_TRUE(com3.Write({0x02, 0x10, 0x03}));
    PollUntil(Slot(2), 2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].id, 0x41);
    EXPECT_EQ(received[1].data, (std::vector<uint8_t>{0x00, 0x02}));
}

TEST_F(PortsOnPty, SendFrameReachesThePeerStuffed)
{
    ASSERT_EQ(OpenSlot(4), 0);
    const uint8_t message[] = {0x1F, 0x10, 0x03};
    SendFrame(3, message, Slot(4));
    EXPECT_EQ(com5.Read(7), (std::vector<uint8_t>{0x10, 0x1F, 0x10, 0x10, 0x03, 0x10, 0x03}));
}

// The adapter is pulled mid-run and plugged in again as another node behind
// the same link: the slot is lost meanwhile (closed, still mapped and
// monitored) and then reopened with the line settings it had.
TEST_F(PortsOnPty, VanishedDeviceMakesTheSlotLostUntilADeviceIsBackBehindItsPath)
{
    TempDir dir;
    const std::string link = dir.file("gps-by-id");
    PointLink(link, com3);
    SetComDevice(3, link);
    ASSERT_EQ(OpenSlot(2), 0);
    Slot(2).monitored = 1;
    PortLineCodes[2] = LineCodes{6, 3, 1, 0}; // 4800 8-O-1, as the user set it
    ASSERT_EQ(ApplyLineCodes(Slot(2).handle.get(), PortLineCodes[2]), 0);

    Unplug(com3, link);
    PollPort(Slot(2), Collect, 0);
    EXPECT_EQ(Slot(2).lost, 1);
    EXPECT_EQ(Slot(2).open, 0);
    EXPECT_EQ(Slot(2).monitored, 1);
    EXPECT_EQ(Slot(2).handle, nullptr);
    const uint8_t message[] = {0x26};
    SendFrame(1, message, Slot(2)); // dropped, no crash
    EXPECT_EQ(ReopenLostPorts(1000), 0) << "the old node is gone";

    PtyPair replug;
    ASSERT_TRUE(replug.ok());
    PointLink(link, replug);
    EXPECT_EQ(ReopenLostPorts(200), 0) << "tried once a second only";
    EXPECT_EQ(ReopenLostPorts(800), 1);
    EXPECT_EQ(Slot(2).open, 1);
    EXPECT_EQ(Slot(2).lost, 0);
    EXPECT_EQ(Slot(2).monitored, 1);
    EXPECT_EQ(Slot(2).searchStep, 9);
    termios tio{};
    ASSERT_TRUE(replug.DeviceTermios(tio));
    EXPECT_EQ(cfgetospeed(&tio), B4800);

    ASSERT_TRUE(replug.Write({0x10, 0x41, 0x07, 0x10, 0x03}));
    PollUntil(Slot(2), 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].id, 0x41);
    ClosePort(Slot(2));
    EXPECT_EQ(Slot(2).lost, 0);
}

} // namespace
