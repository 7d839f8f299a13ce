#include "monitor/monitor.h"
#include "monitor_harness.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "core/main_window.h"
#include "core/windows.h"
#include "link/commands.h"
#include "link/transmit_queue.h"
#include "platform/serial_device.h"
#include "platform/ui.h"

namespace {

// A line whose queued bytes are set per input; writes are dropped.
class InputLine : public SerialDevice {
public:
    const uint8_t* bytes = nullptr;
    size_t left = 0;

    int QueuedInputBytes() override { return static_cast<int>(std::min<size_t>(left, 1 << 20)); }
    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        const size_t n = std::min(maxBytes, left);
        std::copy_n(bytes, n, buffer);
        bytes += n;
        left -= n;
        return static_cast<long>(n);
    }
    long Write(const uint8_t*, size_t count) override { return static_cast<long>(count); }
    bool SetLineSettings(const LineSettings&) override { return true; }
    bool GetLineSettings(LineSettings&) override { return true; }
    bool Purge() override { left = 0; return true; }
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }
};

QTemporaryDir* g_dir = nullptr;
FakeClock g_clock;

// Every box takes its default button, every file dialog names a file in the
// temporary folder and every modal dialog is rejected, at once.
class ImmediateAnswers : public ui::Answerer {
public:
    // Every box takes its default, except that the harness's one data file is
    // replaced: "No" would only offer the same name again.
    ui::Answer message(const ui::MessageRequest& request) override
    {
        return request.title == QStringLiteral("Replace File?") ? ui::Answer::Yes : request.defaultButton;
    }
    QString fileName(const ui::FileRequest& request) override
    {
        return HarnessFile("chosen." + request.defaultExtension);
    }
    int dialog(QDialog&) override { return QDialog::Rejected; }
};

ImmediateAnswers g_answers;

InputLine* LineOf(int com)
{
    PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
    return port.open ? dynamic_cast<InputLine*>(port.handle.get()) : nullptr;
}

void Attach(int com)
{
    PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
    port.handle = std::make_unique<InputLine>();
    port.open = 1;
    port.slot = com - 1;
    port.monitored = com == kHarnessMonitoredCom ? 1 : 0;
}

} // namespace

void StartHarnessMonitor(const char* name)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    new QApplication(argc, argv); // lives as long as the process
    ui::InstallAnswerer(&g_answers);
    UseFakeClock(&g_clock);
    Pacing().sendPauseMs = 0;
    DisplayPort = kHarnessDisplayCom;
    PortCount = -1;
    Attach(kHarnessDisplayCom);
    Attach(kHarnessMonitoredCom);
    g_dir = new QTemporaryDir;
    std::atexit([] { delete g_dir; });
    if (!g_dir->isValid() || !CreateAllWindows())
        std::abort();
    Monitor::Instance().Stop(); // the fuzzer drives the reads itself
}

PortRecord& HarnessPort(int com)
{
    PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
    if (!LineOf(com))
        Attach(com);
    port.readPos = port.collectLen = 0;
    port.bytesLeft = 0;
    port.dlePending = 0;
    return port;
}

void SetHarnessInput(int com, const uint8_t* bytes, size_t count)
{
    InputLine* line = LineOf(com);
    line->bytes = bytes;
    line->left = count;
}

size_t HarnessInputLeft(int com)
{
    const InputLine* line = LineOf(com);
    return line ? line->left : 0;
}

FakeClock& HarnessClock() { return g_clock; }

QString HarnessFile(const QString& name) { return g_dir->filePath(name); }
