// The line side of the simulator: pacing at the bit rate, recordings played
// back at their pace and only once the monitor listens, and simulated receivers on pseudo-terminals.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

#include "sim/demo.h"
#include "sim/line_pacer.h"
#include "sim/line_runner.h"
#include "sim/replay_source.h"
#include "sim/sim_cli.h"
#include "sim_harness.h"
#include "pty_client.h"
#include "platform/child_process.h"
#include "platform/serial_device.h"
#include "support/captures.h"
#include "support/temp_dir.h"

namespace {

TEST(LinePacer, NineSixHundredBaudCarriesAboutEightHundredSeventyBytesASecond)
{
    LinePacer pacer;
    pacer.SetBaud(9600);
    size_t sent = 0;
    for (int i = 0; i < 100; ++i) {
        const size_t n = pacer.Allowance(0.01);
        pacer.Spent(n);
        sent += n;
    }
    EXPECT_GE(sent, 860u); // 9600 / 11 = 872.7
    EXPECT_LE(sent, 873u);
    // An idle line does not save up for a burst.
    EXPECT_LE(pacer.Allowance(10.0), 44u);
    pacer.SetBaud(0);
    EXPECT_GT(pacer.Allowance(0.0), 1000000u);
}

// The capture as a recording file without an index.
std::string CaptureFile(const TempDir& dir, const std::string& name)
{
    const std::vector<uint8_t> bytes = ReadCapture(name);
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(Replay, RecordingIsPlayedInOrderAtOneFixPerSecond)
{
    TempDir dir;
    ReplaySource replay(CaptureFile(dir, "receiver-k.bin"), 1.0, false, 9600); // one 0x8F-23 fix per second
    ASSERT_TRUE(replay.Ready());
    EXPECT_EQ(replay.LineBaud(), 9600);
    auto fixesIn = [](const std::vector<uint8_t>& bytes) { return WithKey(SplitPackets(bytes), "8F-23").size(); };
    replay.Advance(0.1);
    EXPECT_EQ(fixesIn(replay.TakeOutput()), 1u);
    replay.Advance(0.5);
    EXPECT_EQ(fixesIn(replay.TakeOutput()), 0u);
    for (int s = 0; s < 3; ++s) {
        replay.Advance(1.0);
        EXPECT_EQ(fixesIn(replay.TakeOutput()), 1u);
    }
    EXPECT_FALSE(replay.Finished());
    EXPECT_FALSE(ReplaySource(dir.file("missing.zlk"), 1.0, false, 9600).Ready());
}

TEST(Replay, FastPlaysEverythingAtOnceIncludingACutOffTail)
{
    TempDir dir;
    const std::vector<uint8_t> recording = ReadCapture("receiver-a.bin"); // ends inside a frame
    const std::string path = CaptureFile(dir, "receiver-a.bin");
    ReplaySource replay(path, kAsFastAsPossible, false, 9600);
    EXPECT_EQ(replay.LineBaud(), 0);
    replay.Advance(0.01);
    EXPECT_EQ(replay.TakeOutput(), recording);
    EXPECT_TRUE(replay.Finished());
    replay.Advance(1);
    EXPECT_TRUE(replay.TakeOutput().empty());

    // Looping at full speed gives one pass per call, never an endless one.
    ReplaySource loop(path, kAsFastAsPossible, true, 9600);
    loop.Advance(std::numeric_limits<double>::infinity());
    EXPECT_EQ(loop.TakeOutput(), recording);
    loop.Advance(0.01);
    EXPECT_EQ(loop.TakeOutput(), recording);
}

// The monitor opens the port a while after the simulator made it, with its
// own device code (open, settings, purge): every fix of the capture still arrives.
TEST(Replay, TheSimulatorWaitsForTheMonitorSoNoFixIsLost)
{
    TempDir dir;
    ChildProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start(std::string(JX_BINARY_DIR) + "/zelk_sim",
                          {"--replay", CaptureFile(dir, "receiver-c.bin"), "--speed", "20"}, &error))
        << error;
    std::string path;
    ASSERT_TRUE(sim.ReadLine(&path, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    auto device = OpenSerialDevice(path);
    ASSERT_TRUE(device);
    device->Purge();
    std::vector<uint8_t> got;
    uint8_t buffer[4096];
    for (int i = 0; i < 400 && WithKey(SplitPackets(got), "84").size() < 40; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const long n = device->Read(buffer, sizeof buffer);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
    }
    EXPECT_EQ(WithKey(SplitPackets(got), "84").size(), 40u);
}

TEST(SimCommandLine, CountPlacesAndMissingData)
{
    SimCommandLine cmd;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({"--count", "3", "--no-almanac", "4,9", "--seed", "40"}, &cmd, &error));
    ASSERT_EQ(cmd.receivers.size(), 3u);
    EXPECT_NE(cmd.receivers[0].track.centre.latRad, cmd.receivers[1].track.centre.latRad);
    EXPECT_EQ(cmd.receivers[2].seed, 42u);
    EXPECT_EQ(cmd.receivers[1].withoutAlmanac, (std::vector<int>{4, 9}));
    EXPECT_FALSE(ParseSimCommandLine({"--count", "0"}, &cmd, &error));
    EXPECT_FALSE(ParseSimCommandLine({"--no-ephemeris", "33"}, &cmd, &error));
    EXPECT_FALSE(ParseSimCommandLine({"--lat"}, &cmd, &error));
    EXPECT_FALSE(ParseSimCommandLine({"--count", "1e30"}, &cmd, &error));
    EXPECT_FALSE(ParseSimCommandLine({"--seed", "-4"}, &cmd, &error));
    ASSERT_TRUE(ParseSimCommandLine({"--replay", "x.zlk", "--fast"}, &cmd, &error));
    EXPECT_EQ(cmd.replayFile, "x.zlk");
    EXPECT_TRUE(cmd.fast);
    ASSERT_TRUE(ParseSimCommandLine({"--replay", "x.zlk", "--speed", "10", "--wait", "2"}, &cmd, &error));
    EXPECT_EQ(cmd.replaySpeed, 10.0);
    EXPECT_EQ(cmd.waitSeconds, 2.0);
    EXPECT_FALSE(ParseSimCommandLine({"--replay", "x.zlk", "--speed", "0"}, &cmd, &error));
}

// Serves the line until the device has delivered a packet with the key.
bool AwaitPacket(LineRunner& runner, PtyClient& device, const std::string& key, int rounds = 150)
{
    std::vector<uint8_t> got;
    uint8_t buffer[4096];
    for (int i = 0; i < rounds; ++i) {
        runner.Poll(20);
        const long n = device.Read(buffer, sizeof buffer);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        if (!WithKey(SplitPackets(got), key).empty())
            return true;
    }
    return false;
}

void Send(PtyClient& device, const std::vector<uint8_t>& message)
{
    const auto frame = Framed(message);
    device.Write(frame.data(), frame.size());
}

TEST(SimulatedLine, ReceiverOnAPseudoTerminalAnswersAndFollowsABaudChange)
{
    LineRunner runner;
    std::string error;
    ASSERT_TRUE(runner.Add(std::make_unique<ReceiverSimulator>(SimOptions{}), &error)) << error;
    auto device = std::make_unique<PtyClient>(runner.DevicePaths().at(0));
    ASSERT_TRUE(device->IsOpen());

    Send(*device, {0x1F});
    EXPECT_TRUE(AwaitPacket(runner, *device, "45"));

    // The receiver moves to 19200; the PC side, still at 9600, no longer understands it.
    Send(*device, {0xBC, 0xFF, 8, 8, 3, 1, 0, 0, 2, 2, 0});
    runner.Poll(20);
    Send(*device, {0x1F});
    EXPECT_FALSE(AwaitPacket(runner, *device, "45", 15));

    ASSERT_TRUE(device->SetBaud(B19200));
    device->Purge();
    Send(*device, {0x1F});
    EXPECT_TRUE(AwaitPacket(runner, *device, "45"));
}

TEST(DemoReceivers, StartsReceiversInChildProcessesAndEndsThem)
{
    DemoReceivers demo;
    demo.SetProgram(std::string(JX_BINARY_DIR) + "/zelk_sim");
    std::string error;
    ASSERT_TRUE(demo.Start(3, &error)) << error;
    const std::vector<std::string> paths = demo.DevicePaths();
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_NE(paths[1], paths[2]);

    // Each is a receiver: it answers the version query.
    LineRunner idle; // only for its polling rhythm
    auto device = std::make_unique<PtyClient>(paths[2]);
    ASSERT_TRUE(device->IsOpen());
    Send(*device, {0x1F});
    EXPECT_TRUE(AwaitPacket(idle, *device, "45"));

    // Stopping ends the receivers: their side of the line hangs up. (The
    // device paths themselves may be reused at once by other terminals.)
    demo.Stop();
    EXPECT_TRUE(demo.DevicePaths().empty());
    EXPECT_TRUE(device->PeerGone(2000));
    device.reset();

    DemoReceivers missing;
    missing.SetProgram("/no/such/zelk_sim");
    EXPECT_FALSE(missing.Start(1, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(missing.DevicePaths().empty());
}

} // namespace
