// jx_longrun: the monitor with 16 simulated receivers at 38400 bit/s, data
// logging and raw recording on, for hours of virtual time. Prints the
// resident memory every virtual hour and, at the end, the records of every
// port against the expected count and the recording's size. Exits non-zero
// when a record is missing, repeated or malformed, or the recording does not
// hold exactly what was handed to the recorder.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/application.h"
#include "jx_version.h"
#include "long_run.h"
#include "longrun_options.h"
#include "platform/process_memory.h"

namespace {

constexpr double kWarmUpSeconds = 20; // search sequences answered, first fixes
constexpr double kSettleSeconds = 10; // after the change to 38400 bit/s

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void PrintSample(double hours, double wall)
{
    const int64_t rss = ResidentSetBytes();
    std::printf("%8.2f %10.1f %10lld\n", hours, wall, static_cast<long long>(rss < 0 ? -1 : rss / 1024));
    std::fflush(stdout);
}

// Seconds from earlier to later time of week, across a week's end.
double WeekSeconds(double later, double earlier)
{
    constexpr double kWeek = 604800;
    return std::fmod(later - earlier + 1.5 * kWeek, kWeek) - 0.5 * kWeek;
}

// The receivers report each whole second; the report of the second in which
// logging started or stopped may fall on either side, so one second of slack
// is allowed at each end.
uint64_t Missing(const LogCheck& c, double startTow, double stopTow, uint64_t expected)
{
    if (c.records == 0)
        return expected;
    uint64_t missing = c.missing;
    const double lateStart = WeekSeconds(c.firstTow, startTow) - 1;
    const double earlyStop = WeekSeconds(stopTow, c.lastTow) - 1;
    missing += lateStart > 0 ? static_cast<uint64_t>(lateStart) : 0;
    missing += earlyStop > 0 ? static_cast<uint64_t>(earlyStop) : 0;
    return missing;
}

uint64_t PrintLogs(const LongRun& run)
{
    std::printf("port   records  expected  missing  repeated  bad\n");
    uint64_t faults = 0;
    const auto checks = run.CheckLogs();
    for (size_t slot = 0; slot < checks.size(); ++slot) {
        const LogCheck& c = checks[slot];
        const double startTow = std::floor(std::fmod(run.LogStartSecond(slot), 604800.0));
        const double stopTow = std::floor(std::fmod(run.LogStopSecond(slot), 604800.0));
        const auto expected = static_cast<uint64_t>(WeekSeconds(stopTow, startTow));
        const uint64_t missing = Missing(c, startTow, stopTow, expected);
        std::printf("COM%-3zu %8llu  %8llu  %7llu  %8llu  %3llu\n", slot + 1,
                    static_cast<unsigned long long>(c.records), static_cast<unsigned long long>(expected),
                    static_cast<unsigned long long>(missing), static_cast<unsigned long long>(c.repeated),
                    static_cast<unsigned long long>(c.badLines));
        faults += missing + c.repeated + c.badLines;
    }
    return faults;
}

uint64_t PrintRecording(const LongRun& run)
{
    const RecordingCheck r = run.CheckRecording();
    std::printf("recording: %llu bytes, %llu frames; handed to the recorder %llu frames of %llu bytes; "
                "%llu bytes outside frames\n",
                static_cast<unsigned long long>(r.fileBytes), static_cast<unsigned long long>(r.framesInFile),
                static_cast<unsigned long long>(r.framesHanded), static_cast<unsigned long long>(r.bytesHanded),
                static_cast<unsigned long long>(r.bytesOutsideFrames));
    const bool whole = r.fileBytes == r.bytesHanded && r.framesInFile == r.framesHanded && r.bytesOutsideFrames == 0;
    return whole && r.framesHanded > 0 ? 0 : 1;
}

int Run(const LongRunOptions& options, const std::string& dir)
{
    const auto wallStart = Clock::now();
    LongRun run(dir);
    if (!run.Start(std::cerr))
        return 1;
    run.Run(kWarmUpSeconds, nullptr);
    if (!run.SwitchTo38400(options.txAll, std::cerr))
        return 1;
    run.Run(kSettleSeconds, nullptr);
    std::printf("16 receivers at 38400 bit/s, all monitored%s; data logging and raw recording in %s\n",
                options.txAll ? ", queried through Tx-All" : "", dir.c_str());
    std::printf("   hours     wall s    RSS KiB\n");
    PrintSample(0, Since(wallStart));
    run.StartLoggers();
    run.Run(options.hours * 3600, [&](double hours) { PrintSample(hours, Since(wallStart)); });
    run.StopLoggers();
    const double wall = Since(wallStart);
    std::printf("virtual hours %.2f, wall seconds %.1f, line bytes %llu, largest line backlog %zu\n",
                (run.LogStopSecond(0) - run.LogStartSecond(0)) / 3600, wall,
                static_cast<unsigned long long>(run.LineBytes()), run.LargestBacklog());
    uint64_t faults = PrintLogs(run);
    faults += PrintRecording(run);
    faults += run.UnexpectedBoxes();
    std::printf("%s\n", faults == 0 ? "result: ok" : "result: FAILED");
    return faults == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    LongRunOptions options;
    bool help = false;
    std::string error;
    if (!ParseLongRunOptions(std::vector<std::string>(argv + 1, argv + argc), options, help, &error)) {
        std::cerr << "jx_longrun: " << error << '\n' << kLongRunUsage;
        return 2;
    }
    if (help || options.version) {
        std::cout << (help ? kLongRunUsage : std::string("jx_longrun ") + kJxVersion + '\n');
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    MonitorApplication app(argc, argv);
    namespace fs = std::filesystem;
    std::error_code ec;
    const bool temporary = options.dir.empty();
    const fs::path dir = temporary ? fs::temp_directory_path() / ("jx_longrun." + std::to_string(Clock::now().time_since_epoch().count())) : fs::path(options.dir);
    fs::create_directories(dir, ec);
    const int rc = Run(options, dir.string());
    if (temporary && !options.keep)
        fs::remove_all(dir, ec);
    return rc;
}
