// Any bytes into the almanac and ephemeris transfers of the running monitor
// (monitor_harness.h). Byte 0 bit 0 picks the ephemeris, bit 1 the upload.
// A download reads the rest as the receiver's replies; an upload loads the
// rest as the data file, the receiver answering nothing. The reply wait runs
// on a virtual clock: a missing reply costs no real time.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include <QFile>
#include <QTimer>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "monitor_harness.h"
#include "transfer/almanac_transfer.h"
#include "transfer/ephemeris_transfer.h"
#include "transfer/reply_wait.h"

namespace {

ReplyWaitTiming::Clock::time_point g_now{};

void WriteDataFile(const uint8_t* bytes, size_t count)
{
    std::ofstream file(QFile::encodeName(HarnessFile("chosen.dat")).toStdString(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartHarnessMonitor("transfer_fuzz");
    // Each look at the clock moves it a second on: a wait gives up after a few polls.
    ReplyWait().now = [] { return g_now += std::chrono::seconds(1); };
    ReplyWait().pause = [](std::chrono::milliseconds) {};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool ephemeris = data[0] & 1;
    const bool upload = data[0] & 2;
    HarnessPort(kHarnessDisplayCom);
    if (upload) {
        WriteDataFile(data + 1, size - 1);
        SetHarnessInput(kHarnessDisplayCom, nullptr, 0);
        ephemeris ? RunEphemerisUpload() : RunAlmanacUpload();
    } else {
        SetHarnessInput(kHarnessDisplayCom, data + 1, size - 1);
        ephemeris ? RunEphemerisDownload() : RunAlmanacDownload();
    }
    Monitor::Instance().Stop(); // the session starts it again on leaving
    return 0;
}
