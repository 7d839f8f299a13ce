#include "core/silent_port.h"

#include "core/main_window.h"
#include "link/line_codes.h"

std::string SilentPortWords(int com, int seconds, const LineCodes& codes)
{
    return "COM" + std::to_string(com) + ": no data for " + std::to_string(seconds) + " s at " +
           BaudText(codes.baud) + " " + DataBitsText(codes.dataBits) + "-" + ParityText(codes.parity) + "-" +
           StopBitsText(codes.stopBits) + ": check the receiver's port settings, or use Auto Find";
}

void ShowDisplaySilence(bool stale)
{
    if (!Form_Main)
        return;
    // A lost port is explained elsewhere; a silent one gets the words.
    const bool silent = stale && DisplayPort >= 1 && DisplayPort <= kPortSlots &&
                        !PortTable[static_cast<size_t>(DisplayPort - 1)].lost;
    Form_Main->SetStatusNote(silent ? QString::fromStdString(SilentPortWords(DisplayPort, kSilentPortMs / 1000,
                                                                             PortLineCodes[static_cast<size_t>(DisplayPort - 1)]))
                                    : QString());
}

void ResetDisplaySilence()
{
    if (Form_Main)
        Form_Main->SetStatusNote(QString());
}
