// Any bytes on a receiver's line into the running monitor (monitor_harness.h):
// they go through PollPort and DispatchReport into every decoder. Byte 0
// picks the port and what the decoders act on (see Mode).
#include <cstddef>
#include <cstdint>


#include "monitor/monitor.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "link/framing.h"
#include "link/shared_flags.h"
#include "monitor/data_log.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "monitor_harness.h"

namespace {

// Bits of the first input byte.
enum Mode : uint8_t {
    kMonitoredPort = 0x01,   // else the display port
    kReferenceSet = 0x02,
    kPositionDownload = 0x04,
    kTimeToPc = 0x08,
    kDataLogging = 0x10,     // paced by reports, plus one system-timer tick
    kRawRecording = 0x20,
    kTimerTick = 0x40,       // one Timer_ZELK tick after the bytes
    kClockRefuses = 0x80,
};

// Logging and recording start afresh for each input that wants them: the
// files are emptied, so they stay small however long the run.
void StartLoggers(uint8_t mode)
{
    if (mode & kDataLogging)
        Form_Log->Button_StartClick();
    if (mode & kRawRecording)
        Form_LogZelk->Button_StartClick();
}

void StopLoggers(uint8_t mode)
{
    if (mode & kDataLogging) {
        LogSystemTick();
        Form_Log->Button_StopClick();
    }
    if (mode & kRawRecording)
        Form_LogZelk->Button_StopClick();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartHarnessMonitor("monitor_receive_fuzz");
    Form_Log->SetFileRoot(HarnessFile("log"));
    Form_LogZelk->Button_OpenClick();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const int com = (mode & kMonitoredPort) ? kHarnessMonitoredCom : kHarnessDisplayCom;
    PortRecord& port = HarnessPort(com);
    Flags.ReferenceSet = (mode & kReferenceSet) ? 1 : 0;
    Flags.PositionDownloadPending = (mode & kPositionDownload) ? 1 : 0;
    Flags.TimeToPcPending = (mode & kTimeToPc) ? 1 : 0;
    HarnessClock().refuseSet = (mode & kClockRefuses) != 0;
    StartLoggers(mode);
    SetHarnessInput(com, data + 1, size - 1);
    while (HarnessInputLeft(com) > 0)
        PollPort(port, &DispatchReport, 0);
    if (mode & kTimerTick)
        Monitor::Instance().Tick();
    StopLoggers(mode);
    Flags.PositionDownloadPending = Flags.TimeToPcPending = 0;
    return 0;
}
