// Network serial devices against a listener the test plays: bytes both ways,
// the Telnet opening and COM-PORT-OPTION commands on the wire, refused and
// dropped connections with their reasons, and a server that never answers.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include <poll.h>

#include "platform/serial_device.h"
#include "support/loopback_listener.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Services the device until the condition holds, for at most two seconds.
bool ServeUntil(SerialDevice& device, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        device.QueuedInputBytes();
        pollfd p{device.NativeHandle(), POLLIN, 0};
        poll(&p, 1, 10);
    }
    return true;
}

Bytes ReadSome(SerialDevice& device, size_t count)
{
    Bytes got;
    ServeUntil(device, [&] {
        uint8_t buffer[256];
        const long n = device.Read(buffer, sizeof buffer);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        return got.size() >= count || n < 0;
    });
    return got;
}

TEST(NetworkSerial, RawTcpCarriesEveryByteValueAndReportsTheDrop)
{
    for (bool v6 : {false, true}) {
        LoopbackListener server(v6);
        if (!server.ok() && v6)
            continue; // no IPv6 loopback on this machine
        ASSERT_TRUE(server.ok());
        std::string error;
        auto device = OpenSerialDevice(server.Url("tcp"), &error);
        ASSERT_NE(device, nullptr) << error;
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(ServeUntil(*device, [&] { return device->State() == DeviceState::Ready; }));
        EXPECT_FALSE(device->SetLineSettings(LineSettings{19200, 8, 0, 0})); // nothing to set on a raw stream

        const Bytes frame = {0x10, 0xFF, 0x10, 0x10, 0x03, 0x00};
        EXPECT_EQ(device->Write(frame.data(), frame.size()), static_cast<long>(frame.size()));
        EXPECT_EQ(server.Read(frame.size()), frame);
        ASSERT_TRUE(server.Write({0xFF, 0xFB, 0x2C, 0x11, 0x13}));
        EXPECT_EQ(ReadSome(*device, 5), (Bytes{0xFF, 0xFB, 0x2C, 0x11, 0x13})) << "v6 " << v6;

        server.CloseConnection();
        EXPECT_TRUE(ServeUntil(*device, [&] { return device->State() == DeviceState::Gone; }));
        uint8_t b = 0;
        EXPECT_EQ(device->Read(&b, 1), -1);
        EXPECT_EQ(device->Write(&b, 1), -1);
        EXPECT_NE(device->GoneReason().find("connection closed by"), std::string::npos) << device->GoneReason();
    }
}

TEST(NetworkSerial, Rfc2217NegotiatesSetsTheLineAndEscapesData)
{
    LoopbackListener server;
    ASSERT_TRUE(server.ok());
    auto device = OpenSerialDevice(server.Url("rfc2217"));
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(device->SetLineSettings(LineSettings{19200, 8, 0, 0}));
    const Bytes greeting = {0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x2C, 0xFF, 0xFD, 0x03};
    ServeUntil(*device, [&] { return device->State() == DeviceState::Ready; });
    EXPECT_EQ(server.Read(greeting.size()), greeting);
    EXPECT_TRUE(server.Read(1, 100).empty()) << "line commands before the server agreed";

    // The server agrees to everything, asks for TERMINAL-TYPE, then sends data with an escaped 0xFF.
    ASSERT_TRUE(server.Write({0xFF, 0xFD, 0x2C, 0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03,
                              0xFF, 0xFD, 0x18, 0x10, 0xFF, 0xFF, 0x03}));
    EXPECT_EQ(ReadSome(*device, 3), (Bytes{0x10, 0xFF, 0x03}));
    const Bytes wont = {0xFF, 0xFC, 0x18};
    EXPECT_EQ(server.Read(wont.size()), wont);
    const Bytes baud = {0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0};
    EXPECT_EQ(server.Read(baud.size()), baud);
    EXPECT_EQ(server.Read(7 * 7).size(), 49u); // data size, parity, stop size and four controls

    const Bytes data = {0x10, 0xFF, 0x03};
    EXPECT_EQ(device->Write(data.data(), data.size()), 3);
    EXPECT_EQ(server.Read(4), (Bytes{0x10, 0xFF, 0xFF, 0x03}));

    // The server's answer is what GetLineSettings reports.
    ASSERT_TRUE(server.Write({0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0}));
    LineSettings now;
    EXPECT_TRUE(ServeUntil(*device, [&] { return device->GetLineSettings(now) && now.baud == 19200; }));
}

TEST(NetworkSerial, RefusedOrMalformedGivesTheReason)
{
    std::string error;
    EXPECT_EQ(OpenSerialDevice("tcp://127.0.0.1", &error), nullptr);
    EXPECT_NE(error.find("HOST:PORT"), std::string::npos) << error;
    EXPECT_EQ(OpenSerialDevice("rfc2217://::1:4000", &error), nullptr);
    EXPECT_EQ(OpenSerialDevice("tcp://localhost:70000", &error), nullptr);
    EXPECT_NE(error.find("1 to 65535"), std::string::npos) << error;

    auto device = OpenSerialDevice("tcp://localhost:" + std::to_string(UnusedLoopbackPort()), &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_TRUE(ServeUntil(*device, [&] { return device->State() == DeviceState::Gone; }));
    EXPECT_NE(device->GoneReason().find("Connection refused"), std::string::npos) << device->GoneReason();
}

TEST(NetworkSerial, AServerThatNeverAnswersLeavesItConnectingWithoutBlocking)
{
    // Backlog 0 takes one connection; with that one never accepted, the next SYN goes unanswered.
    LoopbackListener server(false, 0);
    ASSERT_TRUE(server.ok());
    auto first = OpenSerialDevice(server.Url("tcp"));
    ASSERT_TRUE(ServeUntil(*first, [&] { return first->State() == DeviceState::Ready; }));
    auto device = OpenSerialDevice(server.Url("tcp"));
    ASSERT_NE(device, nullptr);
    const Bytes query = {0x10, 0x1F, 0x10, 0x03};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(device->QueuedInputBytes(), 0);
        pollfd p{device->NativeHandle(), POLLOUT, 0};
        poll(&p, 1, 10);
    }
    EXPECT_EQ(device->State(), DeviceState::Connecting);
    // Writes are kept (bounded) for when the connection is made.
    EXPECT_EQ(device->Write(query.data(), query.size()), 4);
    std::vector<uint8_t> big(8192, 0x55);
    EXPECT_LT(device->Write(big.data(), big.size()), 8192);
}

} // namespace
