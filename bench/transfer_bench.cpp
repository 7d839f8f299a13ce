// A full almanac download from the simulated receiver over a pseudo-terminal
// whose far end is paced at 9600 bit/s, timed in real time. The transfer
// runs without windows: the status lines then go nowhere.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <thread>

#include "link/port_table.h"
#include "platform/ui.h"
#include "sim/line_runner.h"
#include "sim/receiver_simulator.h"
#include "transfer/almanac_transfer.h"

namespace {

class FileAnswer : public ui::Answerer {
public:
    explicit FileAnswer(QString name) : name_(std::move(name)) {}
    // Each iteration downloads into the same file again: replacing it is the point.
    ui::Answer message(const ui::MessageRequest& r) override
    {
        return r.title == QStringLiteral("Replace File?") ? ui::Answer::Yes : r.defaultButton;
    }
    QString fileName(const ui::FileRequest&) override { return name_; }
    int dialog(QDialog&) override { return 0; }

private:
    QString name_;
};

void BM_AlmanacDownloadAt9600(benchmark::State& state)
{
    LineRunner runner;
    std::string error;
    if (!runner.Add(std::make_unique<ReceiverSimulator>(SimOptions{}), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    volatile std::sig_atomic_t stop = 0;
    std::thread line([&] { runner.Run(&stop); });
    QTemporaryDir dir;
    FileAnswer answer(dir.filePath("alm.dat"));
    ui::InstallAnswerer(&answer);
    if (OpenPort(PortTable[0], runner.DevicePaths()[0], 0) != 0) {
        state.SkipWithError("cannot open the pseudo-terminal");
    } else {
        DisplayPort = 1;
        for (auto _ : state)
            RunAlmanacDownload();
        state.counters["file_bytes"] = static_cast<double>(QFileInfo(dir.filePath("alm.dat")).size());
    }
    ui::InstallAnswerer(nullptr);
    stop = 1;
    line.join();
    ResetLinkState();
}
BENCHMARK(BM_AlmanacDownloadAt9600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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
