#include "monitor/monitor.h"
#include "long_run.h"

#include <QCoreApplication>
#include <QTimer>

#include <fstream>
#include <memory>

#include "config/serial_apply.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "core/windows.h"
#include "link/commands.h"
#include "link/transmit_queue.h"
#include "link/frame_scanner.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "platform/ui.h"
#include "simulated_port.h"

namespace {

constexpr double kTickSeconds = 0.2;
constexpr int kTicksPerSecond = 5;
constexpr uint8_t kBaud38400 = 9;
constexpr uint8_t kDle = 0x10;

// Answers the one question the run expects (follow the receivers' new line
// settings) and the recording's file dialog; counts anything else.
class RunAnswerer : public ui::Answerer {
public:
    explicit RunAnswerer(std::string recording) : recording_(std::move(recording)) {}
    ui::Answer message(const ui::MessageRequest& request) override
    {
        if (request.title == "Update PC?")
            return ui::Answer::Yes;
        ++unexpected;
        return request.defaultButton;
    }
    QString fileName(const ui::FileRequest&) override { return QString::fromStdString(recording_); }
    int dialog(QDialog&) override
    {
        ++unexpected;
        return 0;
    }
    uint64_t unexpected = 0;

private:
    std::string recording_;
};

std::unique_ptr<RunAnswerer> g_answerer;

// Counts what the dispatch hands to the recorder, then records it.
void (*g_recorder)(int, const uint8_t*, uint32_t) = nullptr;
RecordingCheck g_handed;

void CountAndRecord(int id, const uint8_t* data, uint32_t length)
{
    ++g_handed.framesHanded;
    g_handed.bytesHanded += 4 + length;
    for (uint32_t i = 0; i < length; ++i)
        g_handed.bytesHanded += data[i] == kDle;
    g_recorder(id, data, length);
}

SimOptions ReceiverOptions(int slot)
{
    SimOptions o = DemoReceiverOptions(slot);
    o.seed = 1000 + static_cast<uint64_t>(slot);
    return o;
}

} // namespace

LongRun::LongRun(std::string dir) : dir_(std::move(dir)) {}

LongRun::~LongRun()
{
    DestroyAllWindows();
    ui::InstallAnswerer(nullptr);
}

bool LongRun::Start(std::ostream& err)
{
    g_answerer = std::make_unique<RunAnswerer>(dir_ + "/run.zlk");
    ui::InstallAnswerer(g_answerer.get());
    SerialChangePauses().pauseMs = 0; // virtual time: nothing to wait for
    Pacing().sendPauseMs = 0;
    DisplayPort = 1;
    PortCount = -1;
    for (int slot = 0; slot < kPortSlots; ++slot) {
        auto port = std::make_unique<SimulatedPort>(ReceiverOptions(slot));
        ports_[static_cast<size_t>(slot)] = port.get();
        PortRecord& record = PortTable[static_cast<size_t>(slot)];
        record.handle = std::move(port);
        record.open = 1;
        record.slot = slot;
        record.monitored = 1;
        record.searchStep = 9; // as a newly opened port
    }
    if (!CreateAllWindows()) {
        err << "jx_longrun: the windows could not be created\n";
        return false;
    }
    // Virtual time drives both timers' handlers.
    Monitor::Instance().Stop();
    Form_Log->StopSystemTimer();
    g_recorder = RawPacketHook;
    RawPacketHook = &CountAndRecord;
    return g_recorder != nullptr;
}

bool LongRun::SwitchTo38400(bool keepTxAll, std::ostream& err)
{
    TxAllLit = true;
    ApplySerialSettings(SerialConfigRecord{0, kBaud38400, 3, 1, 0, 2, 2, 0});
    TxAllLit = keepTxAll;
    Run(5, nullptr);
    for (int slot = 0; slot < kPortSlots; ++slot) {
        const SimulatedPort& port = *ports_[static_cast<size_t>(slot)];
        if (port.PortBaud() != 38400 || port.Receiver().LineBaud() != 38400) {
            err << "jx_longrun: COM" << slot + 1 << " did not change to 38400 bit/s\n";
            return false;
        }
    }
    return true;
}

void LongRun::StartLoggers()
{
    Form_LogZelk->Button_OpenClick();
    Form_LogZelk->Button_StartClick();
    Form_Log->SetFileRoot(QString::fromStdString(dir_ + "/data"));
    Form_Log->Button_StartClick();
    for (size_t slot = 0; slot < ports_.size(); ++slot)
        logStart_[slot] = ports_[slot]->Receiver().GpsSeconds();
}

void LongRun::StopLoggers()
{
    Form_Log->Button_StopClick();
    Form_LogZelk->Button_StopClick();
    for (size_t slot = 0; slot < ports_.size(); ++slot)
        logStop_[slot] = ports_[slot]->Receiver().GpsSeconds();
}

void LongRun::RunSecond()
{
    for (int t = 0; t < kTicksPerSecond; ++t) {
        for (SimulatedPort* port : ports_)
            port->Run(kTickSeconds);
        Monitor::Instance().Tick();
        if (t == 3)
            Form_Log->Timer_SystemTimer();
    }
    // What the message loop would do between timer events (repaints, deferred deletes).
    QCoreApplication::processEvents();
}

void LongRun::Run(double seconds, const std::function<void(double)>& sample)
{
    const long whole = static_cast<long>(seconds + 0.5);
    for (long s = 1; s <= whole; ++s) {
        RunSecond();
        if (sample && s % 3600 == 0)
            sample(static_cast<double>(s) / 3600.0);
    }
}

std::array<LogCheck, kPortSlots> LongRun::CheckLogs() const
{
    std::array<LogCheck, kPortSlots> checks;
    for (int slot = 0; slot < kPortSlots; ++slot)
        checks[static_cast<size_t>(slot)] = CheckTimeOfWeekLog(dir_ + "/data" + std::to_string(slot + 1) + ".dat");
    return checks;
}

RecordingCheck LongRun::CheckRecording() const
{
    RecordingCheck c = g_handed;
    std::ifstream in(dir_ + "/run.zlk", std::ios::binary);
    FrameScanner scanner;
    std::vector<char> chunk(1 << 16);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        scanner.Feed(reinterpret_cast<const uint8_t*>(chunk.data()), static_cast<size_t>(in.gcount()),
                     [&c](const ScannedPacket&) { ++c.framesInFile; });
    c.fileBytes = scanner.BytesSeen();
    c.bytesOutsideFrames = scanner.BytesOutsideFrames() + scanner.PendingBytes();
    return c;
}

uint64_t LongRun::LineBytes() const
{
    uint64_t total = 0;
    for (const SimulatedPort* port : ports_)
        total += port->BytesDelivered();
    return total;
}

uint64_t LongRun::UnexpectedBoxes() const { return g_answerer ? g_answerer->unexpected : 0; }

size_t LongRun::LargestBacklog() const
{
    size_t most = 0;
    for (const SimulatedPort* port : ports_)
        most = std::max(most, port->LineBacklog());
    return most;
}
