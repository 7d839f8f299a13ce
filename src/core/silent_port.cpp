#include "core/silent_port.h"

#include "core/main_window.h"
#include "link/line_codes.h"

std::string SilentPortWords(int com, int seconds, const LineCodes& codes)
{
    return "COM" + std::to_string(com) + ": no data for " + std::to_string(seconds) + " s at " +
           BaudText(codes.baud) + " " + DataBitsText(codes.dataBits) + "-" + ParityText(codes.parity) + "-" +
           StopBitsText(codes.stopBits) + ": check the receiver's port settings, or use Auto Find";
}

SilenceWatch::Change SilenceWatch::Tick(bool packet, int tickMs)
{
    if (packet) {
        silentMs_ = 0;
        const bool was = silent_;
        silent_ = false;
        return was ? Change::Spoke : Change::None;
    }
    if (silentMs_ < kSilentPortMs)
        silentMs_ += tickMs;
    if (silent_ || silentMs_ < kSilentPortMs)
        return Change::None;
    silent_ = true;
    return Change::FellSilent;
}

void SilenceWatch::Reset()
{
    silentMs_ = 0;
    silent_ = false;
}

namespace {

SilenceWatch g_watch;

} // namespace

void WatchDisplaySilence(bool packet, bool lost, int tickMs)
{
    if (!Form_Main || DisplayPort < 1 || DisplayPort > kPortSlots)
        return;
    if (lost) {
        ResetDisplaySilence();
        return;
    }
    switch (g_watch.Tick(packet, tickMs)) {
    case SilenceWatch::Change::FellSilent:
        Form_Main->SetStatusNote(QString::fromStdString(SilentPortWords(
            DisplayPort, kSilentPortMs / 1000, PortLineCodes[static_cast<size_t>(DisplayPort - 1)])));
        break;
    case SilenceWatch::Change::Spoke:
        Form_Main->SetStatusNote(QString());
        break;
    case SilenceWatch::Change::None:
        break;
    }
}

void ResetDisplaySilence()
{
    g_watch.Reset();
    if (Form_Main)
        Form_Main->SetStatusNote(QString());
}
