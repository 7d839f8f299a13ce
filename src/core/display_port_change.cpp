// Re-targets the whole main window to another receiver.
#include <QComboBox>

#include "core/display_staleness.h"
#include "core/silent_port.h"
#include "core/main_window.h"
#include "core/open_failure.h"
#include "link/line_codes.h"
#include "monitor/monitor.h"

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
    ResetDisplay();
    ResetDisplayFreshness();
    ResetDisplaySilence();
    // A port that will not open is reported, and the window shows it all the same.
    OpenError error;
    const bool opened = Monitor::Instance().ChangeDisplayPort(com, error);
    Panel_Serial->setCaption(SerialCaption(com));
    ShowDisplayPortIdentity();
    if (!opened)
        ReportOpenFailure(com, error, "Error");
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
