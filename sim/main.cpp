// zelk_sim: simulated receivers (or a recording played back) on
// pseudo-terminals, one device path per line on standard output.
#include <csignal>
#include <cstdio>
#include <memory>

#include "sim/line_runner.h"
#include "sim/open_gate.h"
#include "sim/listen_option.h"
#include "sim/receiver_simulator.h"
#include "sim/replay_source.h"
#include "sim/sim_cli.h"
#include "jx_version.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

bool AddSources(const SimCommandLine& cmd, const ListenOption& listen, LineRunner& runner, std::string* error)
{
    if (!cmd.replayFile.empty()) {
        auto replay = std::make_unique<ReplaySource>(cmd.replayFile, cmd.fast ? kAsFastAsPossible : cmd.replaySpeed,
                                                     cmd.loop, cmd.replayBaud);
        if (!replay->Ready()) {
            *error = replay->Error();
            return false;
        }
        return AddLine(runner, std::move(replay), listen, 0, error);
    }
    for (size_t i = 0; i < cmd.receivers.size(); ++i)
        if (!AddLine(runner, std::make_unique<ReceiverSimulator>(cmd.receivers[i]), listen, static_cast<int>(i), error))
            return false;
    return true;
}

// --version answers before anything else is read.
bool PrintVersionIfAsked(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--version") {
            std::printf("zelk_sim %s\n", kJxVersion);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintVersionIfAsked(argc, argv))
        return 0;
    SimCommandLine cmd;
    ListenOption listen;
    std::string error;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!TakeListenOption(args, &listen, &error) || !ParseSimCommandLine(args, &cmd, &error)) {
        std::fprintf(stderr, "zelk_sim: %s\nTry 'zelk_sim --help'.\n", error.c_str());
        return 2;
    }
    if (cmd.help) {
        std::fputs(SimUsage(), stdout);
        std::fputs(ListenUsage(), stdout);
        std::fputs(SimUsageEnd(), stdout);
        return 0;
    }
    LineRunner runner;
    if (!AddSources(cmd, listen, runner, &error)) {
        std::fprintf(stderr, "zelk_sim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    for (const std::string& path : runner.DevicePaths())
        std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    // A replay waits for its reader; a line served over TCP waits for its client anyway.
    if (!cmd.replayFile.empty() && !runner.DevicePaths().empty() && runner.DevicePaths().front().rfind("/dev/", 0) == 0 &&
        !WaitForOpen(runner.DevicePaths().front(), cmd.waitSeconds, &g_stop))
        return 0;
    runner.Run(&g_stop);
    return 0;
}
