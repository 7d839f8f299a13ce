#include "monitor_bench.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>

#include "core/main_window.h"
#include "platform/ui.h"
#include "support/monitor_gui.h"
#include "support/state_reset.h"

namespace {

class DefaultAnswers : public ui::Answerer {
public:
    ui::Answer message(const ui::MessageRequest& r) override { return r.defaultButton; }
    QString fileName(const ui::FileRequest&) override { return {}; }
    int dialog(QDialog&) override { return QDialog::Rejected; }
};

DefaultAnswers g_answers;

// The offscreen platform warns on every raise() and size hint of a window the
// Window menu opens; the benchmark's table is easier to read without them.
QtMessageHandler g_qtHandler = nullptr;

void DropRaiseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.startsWith(QLatin1String("This plugin does not support ")) && g_qtHandler)
        g_qtHandler(type, context, text);
}

} // namespace

std::shared_ptr<FakeSerial::State> StartBenchMonitor()
{
    ResetAllProgramState();
    ui::InstallAnswerer(&g_answers);
    auto state = StartMonitorOnFake(1);
    if (state)
        Form_Main->show();
    return state;
}

void StopBenchMonitor() { ResetAllProgramState(); }

int RunQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_qtHandler = qInstallMessageHandler(DropRaiseWarnings);
    InstallMonitorStateReset();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopBenchMonitor();
    return 0;
}
