// Re-targets the whole main window to another receiver.
#include <QComboBox>

#include "core/display_staleness.h"
#include "core/silent_port.h"
#include "core/main_window.h"
#include "core/open_failure.h"
#include "link/commands.h"
#include "link/line_codes.h"
#include "notify/receiver_notifier.h"
#include "platform/ui.h"

namespace {

QString SerialCaption(int com)
{
    const LineCodes& c = PortLineCodes[static_cast<size_t>(com - 1)];
    return QString("COM%1 %2, %3-%4-%5")
        .arg(com)
        .arg(BaudText(c.baud), DataBitsText(c.dataBits), ParityText(c.parity), StopBitsText(c.stopBits));
}

} // namespace

void TForm_Main::ComboBox_DisplayComChange(int index)
{
    if (index < 0 || index >= PortCount || index >= kPortSlots)
        return;
    const int com = PortList[static_cast<size_t>(index)];
    if (com == DisplayPort || com < 1 || com > kPortSlots)
        return;
    const int slot = com - 1;
    // A port that will not open is reported, and the window shows it all the same.
    OpenError error;
    if (!PortTable[static_cast<size_t>(slot)].open && OpenSlot(slot, error) != 0)
        ReportOpenFailure(com, error, "Error");
    ResetDisplay();
    ResetDisplayFreshness();
    ResetDisplaySilence();
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        PortRecord& old = PortTable[static_cast<size_t>(DisplayPort - 1)];
        if ((old.open || old.lost) && !old.monitored)
            ClosePort(old);
    }
    DisplayPort = com;
    emit Receivers().portStateChanged(slot); // the views show the new display port
    Panel_Serial->setCaption(SerialCaption(com));
    ShowDisplayPortIdentity();
    RequestDgpsMode(slot);
    RequestIoOptions(slot);
    RequestDatum(slot);
    RequestTime(slot);
}

void TForm_Main::ChooseDisplayCom(int com)
{
    for (int i = 0; i < PortCount && i < kPortSlots; ++i) {
        if (PortList[static_cast<size_t>(i)] == com) {
            ComboBox_DisplayCom->setCurrentIndex(i);
            ComboBox_DisplayComChange(i);
            return;
        }
    }
}
