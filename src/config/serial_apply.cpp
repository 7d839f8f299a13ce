#include "config/serial_apply.h"

#include <chrono>
#include <thread>
#include <vector>

#include "config/config_notifier.h"
#include "link/commands.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"

SerialChangePacing& SerialChangePauses()
{
    static SerialChangePacing pacing;
    return pacing;
}

namespace {

constexpr uint8_t kAllReceiverPorts = 255;

// Keeps the old line settings for a moment so the set command can leave first.
void SerialChangePause()
{
    SerialChangePacing& pacing = SerialChangePauses();
    ++pacing.pausesRun;
    if (pacing.pauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pacing.pauseMs));
}

// The targets whose PC side follows: every open one while Tx-All is lit, else the display port if open.
std::vector<size_t> SlotsToChange()
{
    std::vector<size_t> targets;
    for (size_t slot = 0; slot < PortTable.size(); ++slot) {
        const bool wanted = TxAllLit || static_cast<int>(slot) + 1 == DisplayPort;
        if (wanted && PortTable[slot].open && PortTable[slot].handle)
            targets.push_back(slot);
    }
    return targets;
}

void ShowSerialCaption(const LineCodes& codes)
{
    emit ConfigEvents().serialCaptionChanged(QString::asprintf("COM%d %s, %s-%s-%s", DisplayPort, BaudText(codes.baud),
                                                              DataBitsText(codes.dataBits), ParityText(codes.parity),
                                                              StopBitsText(codes.stopBits)));
}

// A raw TCP port carries bytes only: its line is set at the device server.
void NoteRawTcp(size_t slot, const LineCodes& codes)
{
    const std::string url = ComDevicePath(static_cast<int>(slot) + 1);
    if (!IsRawTcpPath(url))
        return;
    emit ConfigEvents().noteForUser(QString::asprintf(
        "COM%d is a raw TCP port (%s): set %s, %s-%s-%s at the device server", static_cast<int>(slot) + 1,
        url.c_str(), BaudText(codes.baud), DataBitsText(codes.dataBits), ParityText(codes.parity),
        StopBitsText(codes.stopBits)));
}

void ChangeLine(size_t slot, const LineCodes& codes)
{
    NoteRawTcp(slot, codes);
    PortRecord& port = PortTable[slot];
    port.open = 0;
    ApplyLineCodes(port.handle.get(), codes); // a refusal leaves the old settings; nothing to tell
    port.open = 1;
    PortLineCodes[slot] = codes;
}

} // namespace

void ApplySerialSettings(SerialConfigRecord record)
{
    if (!ui::AskYesNo("Change PC com settings to match?", "Update PC?", ui::Icon::None, ui::Answer::Yes)) {
        SendSerialConfig(TX_DEFAULT, record);
        return;
    }
    record.receiverPort = kAllReceiverPorts;
    SendSerialConfig(TX_DEFAULT, record);
    const LineCodes codes{record.baudCode, record.dataBitsCode, record.parityCode, record.stopBitsCode};
    ShowSerialCaption(codes);
    const std::vector<size_t> targets = SlotsToChange();
    SerialChangePause();
    // Every port about to change is drained, so the command is not cut short.
    for (size_t slot : targets) {
        FlushTransmitQueue(static_cast<int>(slot));
        PortTable[slot].handle->FlushTransmit();
    }
    SerialChangePause();
    for (size_t slot : targets)
        ChangeLine(slot, codes);
}

void ResetSerialApplyState()
{
    SerialChangePauses() = SerialChangePacing{};
}
