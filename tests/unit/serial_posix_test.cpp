// The POSIX serial device against real pseudo-terminal pairs.
#include <gtest/gtest.h>

#include <numeric>

#include <poll.h>

#include "platform/serial_device.h"
#include "support/fake_serial.h"
#include "support/pty.h"

namespace {

struct SerialOnPty : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        std::string error;
        device = OpenSerialDevice(pty.devicePath(), &error);
        ASSERT_NE(device, nullptr) << error;
    }

    // Reads from the device until count bytes came or the peer has been quiet for a while.
    std::vector<uint8_t> ReadDevice(size_t count)
    {
        std::vector<uint8_t> got;
        uint8_t buffer[512];
        for (int rounds = 0; got.size() < count && rounds < 100; ++rounds) {
            const long n = device->Read(buffer, sizeof buffer);
            if (n < 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
            if (n == 0)
                poll(nullptr, 0, 5);
        }
        return got;
    }

    PtyPair pty;
    std::unique_ptr<SerialDevice> device;
};

std::vector<uint8_t> AllByteValues()
{
    std::vector<uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

TEST(SerialOpen, MissingDeviceFailsWithReason)
{
    std::string error;
    EXPECT_EQ(OpenSerialDevice("/dev/no-such-serial-device", &error), nullptr);
    EXPECT_NE(error.find("/dev/no-such-serial-device"), std::string::npos);
}

TEST(SerialOpen, NonTerminalIsRefused)
{
    EXPECT_EQ(OpenSerialDevice("/dev/null"), nullptr);
}

TEST_F(SerialOnPty, SecondOpenIsRefusedUntilTheFirstCloses)
{
    std::string error;
    EXPECT_EQ(OpenSerialDevice(pty.devicePath(), &error), nullptr);
    EXPECT_FALSE(error.empty());
    device.reset();
    EXPECT_NE(OpenSerialDevice(pty.devicePath()), nullptr);
}

TEST_F(SerialOnPty, OpensRaw9600Odd8N1WithoutFlowControl)
{
    termios tio{};
    ASSERT_TRUE(pty.DeviceTermios(tio));
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(tio.c_cflag & PARODD);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    // No INPCK: a byte with a parity or framing error passes as the line carried it.
    EXPECT_FALSE(tio.c_iflag & (INPCK | PARMRK | IXON | IXOFF | ICRNL));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_F(SerialOnPty, LineSettingsAreAppliedAndReadBack)
{
    // A pseudo-terminal drops PARENB and keeps CS8 whatever is asked, so parity reads back as
    // none and data bits as 8; PARODD tells odd from even.
    ASSERT_TRUE(device->SetLineSettings({38400, 7, 2, 2}));
    LineSettings back;
    ASSERT_TRUE(device->GetLineSettings(back));
    EXPECT_EQ(back.baud, 38400);
    EXPECT_EQ(back.stopBits, 2);
    termios tio{};
    ASSERT_TRUE(pty.DeviceTermios(tio));
    EXPECT_FALSE(tio.c_cflag & PARODD);

    ASSERT_TRUE(device->SetLineSettings({110, 5, 1, 0}));
    ASSERT_TRUE(device->GetLineSettings(back));
    EXPECT_EQ(back.baud, 110);
    EXPECT_EQ(back.stopBits, 0);
    ASSERT_TRUE(pty.DeviceTermios(tio));
    EXPECT_TRUE(tio.c_cflag & PARODD);
}

TEST_F(SerialOnPty, EveryCodedBaudRateIsAccepted)
{
    for (int baud : {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        EXPECT_TRUE(device->SetLineSettings({baud, 8, 0, 0})) << baud;
        LineSettings back;
        ASSERT_TRUE(device->GetLineSettings(back));
        EXPECT_EQ(back.baud, baud);
    }
}

TEST_F(SerialOnPty, UnsupportedValuesAreRefusedAndLeaveTheLineAsItWas)
{
    const LineSettings bad[] = {{9601, 8, 1, 0}, {0, 8, 1, 0}, {9600, 4, 1, 0}, {9600, 9, 1, 0},
                                {9600, 8, 3, 0}, {9600, 8, -1, 0}, {9600, 8, 1, 1}};
    for (const LineSettings& s : bad)
        EXPECT_FALSE(device->SetLineSettings(s)) << s.baud << " " << s.dataBits << " " << s.parity << " " << s.stopBits;
    LineSettings back;
    ASSERT_TRUE(device->GetLineSettings(back));
    EXPECT_EQ(back.baud, 9600);
    EXPECT_EQ(back.dataBits, 8);
}

TEST_F(SerialOnPty, AllByteValuesPassUnchangedBothWays)
{
    const std::vector<uint8_t> bytes = AllByteValues();
    ASSERT_TRUE(pty.Write(bytes));
    EXPECT_EQ(ReadDevice(bytes.size()), bytes);

    ASSERT_EQ(device->Write(bytes.data(), bytes.size()), 256);
    EXPECT_EQ(pty.Read(bytes.size()), bytes);
}

TEST_F(SerialOnPty, ReadsExactlyWhatIsQueuedWithoutWaiting)
{
    uint8_t buffer[64];
    EXPECT_EQ(device->QueuedInputBytes(), 0);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);

    ASSERT_TRUE(pty.Write({0x10, 0x41, 0x10, 0x03, 0x7F}));
    // The count may lag the peer's write; wait until it is all there.
    for (int i = 0; i < 100 && device->QueuedInputBytes() < 5; ++i)
        poll(nullptr, 0, 2);
    ASSERT_EQ(device->QueuedInputBytes(), 5);
    EXPECT_EQ(device->Read(buffer, 3), 3);
    EXPECT_EQ(device->QueuedInputBytes(), 2);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(buffer[1], 0x7F);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
}

TEST_F(SerialOnPty, PurgeDropsQueuedInput)
{
    ASSERT_TRUE(pty.Write({1, 2, 3}));
    for (int i = 0; i < 100 && device->QueuedInputBytes() < 3; ++i)
        poll(nullptr, 0, 2);
    ASSERT_EQ(device->QueuedInputBytes(), 3);
    EXPECT_TRUE(device->Purge());
    EXPECT_EQ(device->QueuedInputBytes(), 0);
    uint8_t b = 0;
    EXPECT_EQ(device->Read(&b, 1), 0);
}

TEST_F(SerialOnPty, TransmitFlushAndClearBreakSucceed)
{
    const uint8_t bytes[] = {0x10, 0x1F, 0x10, 0x03};
    ASSERT_EQ(device->Write(bytes, sizeof bytes), 4);
    EXPECT_TRUE(device->FlushTransmit());
    EXPECT_EQ(pty.ReadAvailable(), std::vector<uint8_t>(bytes, bytes + 4));
    EXPECT_TRUE(pty.ReadAvailable(20).empty());
    device->ClearBreak(); // pseudo-terminals may refuse; it must not hang or crash
}

TEST_F(SerialOnPty, VanishedPeerMakesTheDeviceGoneWithoutCrashOrSpin)
{
    EXPECT_EQ(device->State(), DeviceState::Ready);
    EXPECT_GE(device->NativeHandle(), 0);
    ASSERT_TRUE(pty.Write({0x55}));
    pty.CloseMaster();
    uint8_t buffer[16];
    // Whatever was queued may still come, then reads report nothing or failure, never block.
    for (int i = 0; i < 5; ++i) {
        const long n = device->Read(buffer, sizeof buffer);
        EXPECT_LE(n, 1);
    }
    EXPECT_EQ(device->QueuedInputBytes(), 0);
    EXPECT_EQ(device->State(), DeviceState::Gone);
    EXPECT_EQ(device->Write(buffer, 4), -1);
    device->Purge();
    device->ClearBreak();
    LineSettings s;
    device->GetLineSettings(s);
}

TEST_F(SerialOnPty, WriteTakesWhatFitsWhenThePeerDoesNotDrain)
{
    // Nobody reads the peer's end: the queue fills and Write returns at once with what fitted.
    const uint8_t chunk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    size_t total = 0;
    long last = 8;
    for (int i = 0; i < 200000 && last == 8; ++i) {
        last = device->Write(chunk, sizeof chunk);
        total += last > 0 ? static_cast<size_t>(last) : 0;
    }
    EXPECT_GE(last, 0);
    EXPECT_LT(last, 8);
    EXPECT_EQ(device->State(), DeviceState::Ready) << "a full line is not a lost one";
    EXPECT_EQ(pty.Read(total, 2000).size(), total);
}

// The poll tick asks all lines at once which have nothing to do: a line with
// input or hung up is serviced, as is a device that cannot be asked (a null
// slot, a network port); only a line seen quiet is skipped.
TEST(SerialReadiness, OnePollTellsQuietLinesFromBusyAndHungUpOnes)
{
    PtyPair quietPty, busyPty, hungPty;
    ASSERT_TRUE(quietPty.ok() && busyPty.ok() && hungPty.ok());
    auto quietLine = OpenSerialDevice(quietPty.devicePath());
    auto busyLine = OpenSerialDevice(busyPty.devicePath());
    auto hungLine = OpenSerialDevice(hungPty.devicePath());
    ASSERT_TRUE(quietLine && busyLine && hungLine);
    ASSERT_TRUE(busyPty.Write({0x10, 0x41, 0x10, 0x03}));
    for (int i = 0; i < 100 && busyLine->QueuedInputBytes() < 4; ++i)
        poll(nullptr, 0, 2);
    hungPty.CloseMaster();

    FakeSerial unaskable(std::make_shared<FakeSerial::State>()); // a device with no descriptor
    const SerialDevice* devices[] = {quietLine.get(), busyLine.get(), hungLine.get(), nullptr, &unaskable};
    bool quiet[5] = {false, true, true, true, true};
    FindQuietDevices(devices, 5, quiet);
    EXPECT_TRUE(quiet[0]);
    EXPECT_FALSE(quiet[1]) << "input waiting";
    EXPECT_FALSE(quiet[2]) << "hung up: its loss must be found";
    EXPECT_FALSE(quiet[3]);
    EXPECT_FALSE(quiet[4]);

    // Once read, the busy line is quiet again; a gone line is never skipped.
    uint8_t buffer[8];
    EXPECT_EQ(busyLine->Read(buffer, sizeof buffer), 4);
    EXPECT_EQ(hungLine->QueuedInputBytes(), 0);
    ASSERT_EQ(hungLine->State(), DeviceState::Gone);
    FindQuietDevices(devices, 3, quiet);
    EXPECT_TRUE(quiet[1]);
    EXPECT_FALSE(quiet[2]);
}

} // namespace
