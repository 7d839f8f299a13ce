// Alarms through the daemon's tick, on its injectable clock: a scripted
// receiver's state changes every 200 ms tick, and the journal lines and the
// metrics tell what was raised and cleared.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "daemon/daemon.h"
#include "link/port_table.h"
#include "model/port_reports.h"
#include "platform/port_enumeration.h"

namespace {

constexpr double kTickS = 0.2;

// What the scripted receiver does at a time: its fix, and whether it is there at all.
struct ReceiverState {
    bool fix = true;
    bool silent = false;
    bool lost = false;
};

struct ScriptRun {
    std::vector<std::pair<double, std::string>> lines; // journal lines with the tick's time
    std::array<AlarmState, kAlarmKinds> states{};
    uint64_t reconnects = 0;

    int Count(const std::string& what) const
    {
        int n = 0;
        for (const auto& [t, line] : lines)
            n += line.find(what) != std::string::npos ? 1 : 0;
        return n;
    }
};

ScriptRun RunScript(double seconds, const AlarmSettings& settings, const std::function<ReceiverState(double)>& script)
{
    ClearComMapping();
    SetComDevice(1, "/dev/scripted-receiver");
    DaemonConfig config;
    config.alarms = settings;
    double now = 0;
    std::ostringstream journal;
    Daemon daemon(config, {[&now] { return now; }, [] { return int64_t{0}; }}, journal);
    PortRecord& port = PortTable[0];
    ScriptRun run;
    const uint8_t fixReport[17] = {};
    for (int tick = 0; tick * kTickS <= seconds + 1e-9; ++tick) {
        now = tick * kTickS;
        const ReceiverState state = script(now);
        port.open = state.lost ? 0 : 1;
        port.lost = state.lost ? 1 : 0;
        if (state.silent || state.lost) {
            port.traffic.quietMs += 200;
        } else {
            port.traffic.quietMs = 0;
            PortReports[0].fixMode = PortReports[0].fix.fixModeBits = state.fix ? 0x84 : 0x81; // 3-D or 0-D, eight satellites
            PortReports[0].pdop = 1.5f;
            daemon.OnPacket(0, 0x6D, fixReport, sizeof fixReport);
        }
        daemon.OnTick();
        std::string line;
        std::istringstream lines(journal.str());
        journal.str("");
        while (std::getline(lines, line))
            run.lines.emplace_back(now, line);
    }
    run.states = daemon.AlarmsOf(0)->States();
    run.reconnects = daemon.CurrentMetrics().at(0).receiver.reconnects;
    ClearComMapping();
    return run;
}

AlarmSettings Settings(double raiseAfter, double clearAfter)
{
    AlarmSettings s;
    s.raiseAfterS = raiseAfter;
    s.clearAfterS = clearAfter;
    return s;
}

} // namespace

TEST(Alarms, ShorterThanRaiseAfterRaisesNothing)
{
    const ScriptRun run = RunScript(60, Settings(10, 30), [](double t) { return ReceiverState{!(t >= 5 && t < 14.8)}; });
    EXPECT_TRUE(run.lines.empty()) << run.lines.front().second;
    EXPECT_EQ(run.states[static_cast<size_t>(AlarmKind::NoFix)].transitions, 0u);
}

TEST(Alarms, LongerRaisesOnceAndClearsOnceAfterClearAfter)
{
    // No fix from 5 s to 25 s: raised at 15 s, cleared 30 s after the fix came back.
    const ScriptRun run = RunScript(80, Settings(10, 30), [](double t) { return ReceiverState{!(t >= 5 && t < 25)}; });
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_NEAR(run.lines[0].first, 15, 1e-6);
    EXPECT_EQ(run.lines[0].second, "<4>COM1 (/dev/scripted-receiver): alarm no_fix raised");
    EXPECT_NEAR(run.lines[1].first, 55, 1e-6);
    EXPECT_EQ(run.lines[1].second, "<5>COM1 (/dev/scripted-receiver): alarm no_fix cleared");
    EXPECT_EQ(run.states[static_cast<size_t>(AlarmKind::NoFix)].transitions, 2u);
    EXPECT_FALSE(run.states[static_cast<size_t>(AlarmKind::NoFix)].active);
}

TEST(Alarms, AFixComingAndGoingEveryTwoSecondsRaisesOneAlarm)
{
    const auto flapping = [](double t) { return ReceiverState{t >= 60 || static_cast<int>(t / 2) % 2 == 0}; };
    const ScriptRun minute = RunScript(59.8, Settings(1, 30), flapping);
    EXPECT_EQ(minute.Count("no_fix raised"), 1);
    EXPECT_EQ(minute.Count("cleared"), 0);
    EXPECT_TRUE(minute.states[static_cast<size_t>(AlarmKind::NoFix)].active);
    // Steady again from 60 s: one clear, 30 s later.
    const ScriptRun settled = RunScript(100, Settings(1, 30), flapping);
    EXPECT_EQ(settled.Count("no_fix raised"), 1);
    EXPECT_EQ(settled.Count("no_fix cleared"), 1);
    EXPECT_EQ(settled.lines.size(), 2u);
    // Without the delays the same receiver raises fifteen times.
    EXPECT_EQ(RunScript(59.8, Settings(0, 0), flapping).Count("no_fix raised"), 15);
}

TEST(Alarms, SilentAndLostReceiversRaiseTheirOwnAlarms)
{
    // Silent from 10 s to 40 s, lost from 50 s to 80 s, back after.
    const ScriptRun run = RunScript(130, Settings(10, 30), [](double t) {
        return ReceiverState{true, t >= 10 && t < 40, t >= 50 && t < 80};
    });
    EXPECT_EQ(run.Count("no_packets raised"), 1);
    EXPECT_EQ(run.Count("no_packets cleared"), 1);
    EXPECT_EQ(run.Count("port_lost raised"), 1);
    EXPECT_EQ(run.Count("port_lost cleared"), 1);
    // A silent receiver's last fix is not taken as current.
    EXPECT_EQ(run.Count("no_fix raised"), 1);
    EXPECT_EQ(run.reconnects, 1u);
    for (const AlarmState& state : run.states)
        EXPECT_FALSE(state.active);
}
