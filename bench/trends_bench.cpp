// The Trends window opening the 7-day view of 16 receivers, offscreen, as a
// user would: from choosing the span until the plot has its series. Counted
// on the way: the GUI thread's 100 ms timer (the window must keep repainting
// while it loads), the CPU time of the whole program and its peak resident
// memory above what it held before.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <string>
#include <time.h>

#include "demo_history.h"
#include "model/history_store.h"
#include "support/temp_dir.h"
#include "views/form_trends.h"
#include "views/trends_plot.h"

namespace {

constexpr int64_t kWeek = 7 * kDaySeconds;
constexpr int64_t kStart = 20000 * kDaySeconds;
constexpr int kReceivers = 16;

// 16 receiver-weeks on disk, written once for every benchmark of the binary.
const TempDir& SixteenWeeks()
{
    static const TempDir dir;
    static const bool written = [] {
        const std::vector<HistorySample> week = DemoWeek(kStart);
        for (int i = 0; i < kReceivers; ++i)
            WriteHistory(dir.file(HistoryFolderName(i + 1, "/dev/ttyUSB" + std::to_string(i))), week);
        return true;
    }();
    (void)written;
    return dir;
}

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
double StatusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1));
    return 0;
}

// The peak resident size starts again from the present one.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Opens span `spanIndex` ending at the week's end and waits for the plot.
void OpenSpan(benchmark::State& state, int spanIndex)
{
    const TempDir& root = SixteenWeeks();
    std::vector<std::string> names;
    for (const std::string& folder : HistoryFolders(root.path()))
        names.push_back(folder.substr(folder.rfind('/') + 1));
    double cpu = 0, longestGapMs = 0, longestGap = 0, ticks = 0, peakMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TForm_Trends>(root.path());
        form->resize(900, 560);
        form->show();
        form->SetQuantity(HistoryQuantity::Pdop);
        form->ChooseReceivers(names);
        if (!QTest::qWaitFor([&] { return !form->Loading(); }, 60000)) {
            state.SkipWithError("the first, empty view did not load");
            return;
        }
        const double rssBefore = StatusKb("VmRSS");
        ResetPeakMemory();
        QElapsedTimer sinceTick;
        QTimer timer;
        timer.setInterval(100);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, static_cast<double>(sinceTick.restart()));
            ++ticks;
        });
        longestGap = std::max(longestGap, longestGapMs);
        longestGapMs = 0, ticks = 0;
        const double cpuBefore = CpuSeconds();
        state.ResumeTiming();
        sinceTick.start();
        timer.start();
        form->SetSpan(spanIndex, kStart + kWeek);
        while (form->Loading())
            QTest::qWait(5);
        form->Plot()->repaint();
        state.PauseTiming();
        longestGapMs = std::max(longestGapMs, static_cast<double>(sinceTick.elapsed()));
        cpu += CpuSeconds() - cpuBefore;
        peakMb = std::max(peakMb, (StatusKb("VmHWM") - rssBefore) / 1024);
        timer.stop();
        form.reset();
        state.ResumeTiming();
    }
    // CPU a load, and over every load the longest gap and the highest peak.
    state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
    state.counters["longest_gui_gap_ms"] = std::max(longestGap, longestGapMs);
    state.counters["gui_ticks"] = ticks;
    state.counters["peak_MB_above_start"] = peakMb;
}

// The 7-day view of 16 receivers: about 9.7 million records.
void BM_TrendsSevenDaysOfSixteen(benchmark::State& state) { OpenSpan(state, 4); }
BENCHMARK(BM_TrendsSevenDaysOfSixteen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The last hour of the same files (zoomed in).
void BM_TrendsOneHourOfSixteen(benchmark::State& state) { OpenSpan(state, 1); }
BENCHMARK(BM_TrendsOneHourOfSixteen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
