// Recordings that keep time, made by the real recorder and played back:
// the recording file unchanged by its index, the pace of the frames at x1
// and x10, as fast as possible, pause, single steps, two ports in step, one
// run on the real clock, and a recording opened in the Player window as a
// port the main window shows and refuses to command.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QThread>

#include <algorithm>
#include <filesystem>

#include "core/main_window.h"
#include "link/byte_order.h"
#include "link/port_table.h"
#include "link/replayed_ports.h"
#include "logging/raw_recorder.h"
#include "model/formats/time_index.h"
#include "model/port_reports.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "support/monitor_gui.h"
#include "support/replay_playback.h"
#include "support/scripted_receiver.h"
#include "support/state_reset.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"
#include "views/form_player.h"
#include "views/form_ports.h"
#include "views/history_recorder.h"
#include "model/history_store.h"

namespace {

constexpr int64_t kSecondNs = 1000000000;
constexpr int64_t kStartNs = 1765000000LL * kSecondNs; // December 2025
constexpr int64_t kTickNs = VirtualPlayback::kTickNs;

// The frame format written out here, so the expected file does not come from the recorder.
std::vector<uint8_t> ExpectedFrames(const std::vector<ScriptedPacket>& packets)
{
    std::vector<uint8_t> out;
    for (const ScriptedPacket& p : packets) {
        out.insert(out.end(), {0x10, static_cast<uint8_t>(p.id)});
        for (uint8_t b : p.data) {
            if (b == 0x10)
                out.push_back(0x10);
            out.push_back(b);
        }
        out.insert(out.end(), {0x10, 0x03});
    }
    return out;
}

// The packets through the recorder, each at its time on the (fake) PC clock.
std::string Record(const TempDir& dir, const std::string& name, const std::vector<ScriptedPacket>& packets, int com)
{
    const std::string path = dir.file(name);
    DisplayPort = com;
    SetRawRecordFileName(path);
    EXPECT_TRUE(OpenRawRecordFile(false));
    for (const ScriptedPacket& p : packets) {
        TestClock().now = NanosecondsToUtcTime(kStartNs + p.atNs);
        WriteRawPacket(p.id, p.data.data(), static_cast<uint32_t>(p.data.size()));
    }
    CloseRawRecordFile();
    return path;
}

// Each packet arrives at the first read at or after its recorded time, scaled
// by the speed, from the start of the playback: never early, at most one read late.
void ExpectPaced(const std::vector<Arrival>& arrivals, const std::vector<std::vector<ScriptedPacket>>& script,
                 double speed, int64_t playedFrom)
{
    std::vector<size_t> next(script.size(), 0);
    int64_t first = INT64_MAX;
    for (const auto& port : script)
        first = std::min(first, port.front().atNs);
    for (const Arrival& a : arrivals) {
        ASSERT_LT(next[a.port], script[a.port].size());
        const ScriptedPacket& expected = script[a.port][next[a.port]++];
        ASSERT_EQ(a.id, expected.id);
        ASSERT_EQ(a.data, expected.data);
        const double due = static_cast<double>(expected.atNs - first) / speed;
        const double late = static_cast<double>(a.atNs - playedFrom) - due;
        EXPECT_GE(late, 0) << "port " << a.port << " packet " << next[a.port] - 1;
        EXPECT_LE(late, static_cast<double>(kTickNs)) << "port " << a.port << " packet " << next[a.port] - 1;
    }
    for (size_t port = 0; port < script.size(); ++port)
        EXPECT_EQ(next[port], script[port].size()) << "port " << port << " did not get every packet";
}

// The quiet time on the line around the script's silence, in seconds.
double SilenceSeconds(const std::vector<Arrival>& arrivals)
{
    double longest = 0;
    for (size_t i = 1; i < arrivals.size(); ++i)
        longest = std::max(longest, static_cast<double>(arrivals[i].atNs - arrivals[i - 1].atNs) / 1e9);
    return longest;
}

std::vector<double> FixTimes(const std::vector<Arrival>& arrivals, size_t from = 0)
{
    std::vector<double> tows;
    for (size_t i = from; i < arrivals.size(); ++i)
        if (arrivals[i].id == 0x4A)
            tows.push_back(ReadFloatBE(&arrivals[i].data[16]));
    return tows;
}

TEST(Player, ARecordingKeepsItsFormatAndPlaysAtItsPaceAtEverySpeed)
{
    TempDir dir;
    const auto script = ScriptPackets({});
    const std::string path = Record(dir, "sixty.zlk", script, 3);
    EXPECT_EQ(ReadFileBytes(path), ExpectedFrames(script)); // the index leaves the recording as it was
    ASSERT_TRUE(FileExists(TimeIndexPath(path)));

    const struct {
        double speed;
        double silence;
    } kCases[] = {{1.0, 10.0}, {10.0, 1.0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.speed);
        VirtualPlayback playback({path});
        // Half a read after the beat, so no frame falls on a read.
        playback.Skip(kTickNs / 2);
        playback.Player().SetSpeed(c.speed);
        playback.Player().Play();
        playback.Run(static_cast<int64_t>(62.0 / c.speed * 1e9));
        ExpectPaced(playback.arrivals, {script}, c.speed, kTickNs / 2);
        EXPECT_NEAR(SilenceSeconds(playback.arrivals), c.silence, 0.2);
        EXPECT_TRUE(playback.Player().Finished());
    }

    VirtualPlayback fastest({path});
    fastest.Player().SetSpeed(kAsFastAsPossible);
    fastest.Player().Play();
    fastest.Run(kSecondNs);
    EXPECT_EQ(fastest.bytes[0], ExpectedFrames(script));
    EXPECT_TRUE(fastest.Player().Finished());
}

TEST(Player, PauseStopsTheFramesAndAStepMovesExactlyOneFix)
{
    TempDir dir;
    const std::string path = Record(dir, "steps.zlk", ScriptPackets({}), 3);
    VirtualPlayback playback({path});
    playback.Player().Play();
    playback.Run(5 * kSecondNs + 100000000);
    const int64_t pausedAt = playback.Now();
    playback.Player().Pause();
    const size_t before = playback.arrivals.size();
    playback.Run(3 * kSecondNs);
    for (size_t i = before; i < playback.arrivals.size(); ++i)
        EXPECT_LE(playback.arrivals[i].atNs, pausedAt + kTickNs);
    const size_t paused = playback.arrivals.size();
    playback.Run(3 * kSecondNs);
    EXPECT_EQ(playback.arrivals.size(), paused);
    const double lastTow = FixTimes(playback.arrivals).back();

    // Forward: the next fix whole (its position, velocity and health), nothing more.
    ASSERT_TRUE(playback.Player().StepForward());
    playback.Run(kTickNs);
    EXPECT_EQ(playback.arrivals.size(), paused + 3);
    EXPECT_EQ(FixTimes(playback.arrivals, paused), std::vector<double>{lastTow + 1});
    // Back: the fix before the one shown last.
    const size_t stepped = playback.arrivals.size();
    ASSERT_TRUE(playback.Player().StepBack());
    playback.Run(kTickNs);
    EXPECT_EQ(FixTimes(playback.arrivals, stepped), std::vector<double>{lastTow});
    EXPECT_EQ(playback.arrivals.size(), stepped + 3);

    // Seeking by time: the first fix after the silence comes next.
    const size_t sought = playback.arrivals.size();
    playback.Player().Seek(kStartNs + 30 * kSecondNs);
    ASSERT_TRUE(playback.Player().StepForward());
    playback.Run(kTickNs);
    EXPECT_EQ(FixTimes(playback.arrivals, sought), std::vector<double>{100000.0 + 34});
}

TEST(Player, TwoPortsRecordedTogetherPlayInStep)
{
    TempDir dir;
    const auto a = ScriptPackets({.seconds = 20, .silenceFrom = 8, .silenceSeconds = 4});
    const auto b = ScriptPackets({.seconds = 20, .silenceFrom = 100, .offsetNs = 500000000, .firstFixTow = 200000});
    const std::string pathA = Record(dir, "a.zlk", a, 3);
    const std::string pathB = Record(dir, "b.zlk", b, 5);
    for (double speed : {1.0, 10.0}) {
        SCOPED_TRACE(speed);
        VirtualPlayback playback({pathA, pathB});
        playback.Player().SetSpeed(speed);
        playback.Player().Play();
        playback.Run(static_cast<int64_t>(22.0 / speed * 1e9));
        ExpectPaced(playback.arrivals, {a, b}, speed, 0);
    }
}

TEST(Player, PacedOnTheRealClock)
{
    TempDir dir;
    UseFakeClock(nullptr);
    const std::string path = dir.file("real.zlk");
    SetRawRecordFileName(path);
    ASSERT_TRUE(OpenRawRecordFile(false));
    const auto packets = ScriptPackets({.seconds = 2, .silenceFrom = 100});
    WriteRawPacket(packets[0].id, packets[0].data.data(), static_cast<uint32_t>(packets[0].data.size()));
    QThread::msleep(800);
    WriteRawPacket(packets[3].id, packets[3].data.data(), static_cast<uint32_t>(packets[3].data.size()));
    CloseRawRecordFile();
    UseFakeClock(&TestClock());
    TimeIndexReader index;
    ASSERT_TRUE(index.Open(TimeIndexPath(path), std::filesystem::file_size(path)));
    const double recorded = static_cast<double>(index.At(1).utcNs - index.At(0).utcNs) / 1e9;

    auto player = std::make_shared<ReplayPlayer>();
    ASSERT_TRUE(player->Add(path, nullptr));
    auto device = MakeReplayDevice(player, 0);
    player->Play();
    std::vector<int64_t> arrived;
    uint8_t buffer[256];
    const int64_t start = ReadSteadyNanoseconds();
    while (arrived.size() < 2 && ReadSteadyNanoseconds() - start < 3 * kSecondNs) {
        if (device->Read(buffer, sizeof buffer) > 0)
            arrived.push_back(ReadSteadyNanoseconds());
        QThread::msleep(10);
    }
    ASSERT_EQ(arrived.size(), 2u);
    EXPECT_NEAR(static_cast<double>(arrived[1] - arrived[0]) / 1e9, recorded, 0.2);
}

TEST(Player, ARecordingOpensAsAPortTheMonitorShowsButDoesNotCommand)
{
    TempDir dir;
    const auto script = ScriptPackets({.seconds = 10, .silenceFrom = 100});
    const std::string path = Record(dir, "shown.zlk", script, 3);
    const std::string other = Record(dir, "other.zlk", ScriptPackets({.seconds = 5, .firstFixTow = 5000}), 4);
    ASSERT_TRUE(StartMonitorOnFake(3, {3}));
    PortTable[2].searchStep = 0;

    ScriptedUi answers;
    answers.fileNames.push_back(QString::fromStdString(path + "\n" + other));
    Ui<QAction>(Form_Main, "FileOpenRecording")->trigger();
    ASSERT_EQ(answers.fileRequests.size(), 1u);
    ASSERT_EQ(Form_Player->ReplayComs(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(Form_Player->isVisible());
    EXPECT_EQ(DisplayPort, 1);
    Form_Ports->Refresh();
    EXPECT_EQ(Form_Ports->Rows()[0][1], "replay: shown.zlk");

    // Paused at the start, the ports hold what was received at that instant;
    // a step moves both, in step, to the next fix.
    Tick(2);
    EXPECT_FLOAT_EQ(PortReports[0].fixTime, 100000.0f);
    EXPECT_FLOAT_EQ(PortReports[1].fixTime, 5000.0f);
    Form_Player->Button_StepForwardClick();
    Tick(2);
    EXPECT_FLOAT_EQ(PortReports[0].fixTime, 100001.0f);
    EXPECT_FLOAT_EQ(PortReports[1].fixTime, 5001.0f);

    // A command is refused, in words; logging leaves replays alone unless asked.
    answers.answers.push_back(ui::Answer::Yes);
    Form_Main->InitializeColdClick();
    Tick();
    EXPECT_EQ(Form_Main->Panel_Hint->text(), "Replay: command not sent to COM1");
    EXPECT_GT(Form_Player->Player()->Session(0).refusedWrites, 0u);
    EXPECT_FALSE(LoggedPort(PortTable[0]));
    Ui<QCheckBox>(Form_Player, "CheckBox_Log")->setChecked(true);
    EXPECT_TRUE(LoggedPort(PortTable[0]));

    // Closing the recordings frees their COM numbers again.
    Form_Player->CloseRecordings();
    EXPECT_FALSE(PortTable[0].open);
    EXPECT_TRUE(ComDevicePath(1).empty());
}

// A replayed recording's old values do not go to the history as if they were
// live: the history takes the live port only, and the replays too once
// "Log replayed ports" is ticked, as data logging does.
TEST(Player, TheHistoryLeavesReplayedPortsAloneUnlessTheyAreLogged)
{
    TempDir dir;
    const std::string path = Record(dir, "old.zlk", ScriptPackets({.seconds = 5}), 3);
    const DisplayAndMonitored live = StartDisplayAndMonitored();
    ASSERT_TRUE(live.monitored);
    ScriptedUi answers;
    answers.fileNames.push_back(QString::fromStdString(path));
    Ui<QAction>(Form_Main, "FileOpenRecording")->trigger();
    ASSERT_EQ(Form_Player->ReplayComs(), (std::vector<int>{1}));
    Tick(2);
    ASSERT_TRUE(PortTable[0].open);
    ASSERT_TRUE(PortTable[4].open);
    auto folderNames = [&] {
        std::vector<std::string> names;
        for (const std::string& folder : HistoryFolders(dir.file("history")))
            names.push_back(std::filesystem::path(folder).filename().string().substr(0, 11));
        return names;
    };
    {
        HistoryRecorder history(dir.file("history"), 7);
        history.Tick();
    }
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"COM5"}));
    Ui<QCheckBox>(Form_Player, "CheckBox_Log")->setChecked(true);
    {
        HistoryRecorder history(dir.file("history"), 7);
        history.Tick();
    }
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"COM1_replay", "COM5"}));
    Form_Player->CloseRecordings();
}

} // namespace
