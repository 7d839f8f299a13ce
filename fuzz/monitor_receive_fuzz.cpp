// Any bytes on a receiver's line into the running monitor: the windows are
// built as at start-up (offscreen), the display port and a monitored port
// are in-memory devices, and the bytes go through PollPort and
// DispatchReport into every decoder. Byte 0 picks the port (bit 0) and the
// one-shot flags a decoder acts on (bits 1-3); boxes answer at once and the
// PC clock is a fake, so nothing blocks and nothing on the machine changes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QTimer>

#include "core/dispatch.h"
#include "core/main_window.h"
#include "core/windows.h"
#include "link/commands.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "platform/ui.h"

namespace {

constexpr int kDisplayCom = 3;
constexpr int kMonitoredCom = 5;

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

// Every box takes its default button, every file dialog is cancelled and
// every modal dialog rejected, at once.
class ImmediateAnswers : public ui::Answerer {
public:
    ui::Answer message(const ui::MessageRequest& request) override { return request.defaultButton; }
    QString fileName(const ui::FileRequest&) override { return {}; }
    int dialog(QDialog&) override { return QDialog::Rejected; }
};

ImmediateAnswers g_answers;
FakeClock g_clock;
InputLine* g_lines[2] = {};

InputLine* Attach(int com, bool monitored)
{
    PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
    auto line = std::make_unique<InputLine>();
    InputLine* raw = line.get();
    port.handle = std::move(line);
    port.open = 1;
    port.slot = com - 1;
    port.monitored = monitored ? 1 : 0;
    return raw;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "monitor_receive_fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives as long as the process
    ui::InstallAnswerer(&g_answers);
    UseFakeClock(&g_clock);
    SendPauseMs = 0;
    DisplayPort = kDisplayCom;
    PortCount = -1;
    g_lines[0] = Attach(kDisplayCom, false);
    g_lines[1] = Attach(kMonitoredCom, true);
    if (!CreateAllWindows())
        std::abort();
    Form_Main->Timer_ZELK->stop(); // the fuzzer drives the reads itself
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int which = data[0] & 1;
    PortRecord& port = PortTable[static_cast<size_t>((which ? kMonitoredCom : kDisplayCom) - 1)];
    // Each input starts outside a frame, so a finding replays on its own.
    port.readPos = port.collectLen = 0;
    port.bytesLeft = 0;
    port.dlePending = 0;
    Flags.ReferenceSet = (data[0] >> 1) & 1;
    Flags.PositionDownloadPending = (data[0] >> 2) & 1;
    Flags.TimeToPcPending = (data[0] >> 3) & 1;
    InputLine& line = *g_lines[which];
    line.bytes = data + 1;
    line.left = size - 1;
    while (line.left > 0)
        PollPort(port, &DispatchReport, 0);
    Flags.PositionDownloadPending = Flags.TimeToPcPending = 0;
    return 0;
}
