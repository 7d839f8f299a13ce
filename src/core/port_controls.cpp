// The COM panel: the display-port list, the 16 port panels and the commands
// of its pop-up menu, which open, mark and close the monitored ports.
#include <QComboBox>
#include <QSignalBlocker>

#include "core/main_window.h"
#include "core/open_failure.h"
#include "link/port_table.h"
#include "monitor/monitor.h"

namespace {

int ListedCount() { return PortCount < 0 ? 0 : std::min<int>(PortCount, kPortSlots); }

} // namespace

void TForm_Main::FillPortControls()
{
    if (PortCount != -1) {
        const QSignalBlocker quiet(ComboBox_DisplayCom); // not a user change
        ComboBox_DisplayCom->clear();
        for (int i = 0; i < ListedCount(); ++i)
            ComboBox_DisplayCom->addItem(QString("COM%1").arg(PortList[static_cast<size_t>(i)]));
        ComboBox_DisplayCom->setCurrentIndex(ComboBox_DisplayCom->count() > 0 ? 0 : -1);
        SelectDisplayComItem(); // the list shows the port the window shows
    }
    // A disabled panel draws its number in the system's greyed text colour.
    for (Panel* panel : Panel_MonCom)
        panel->setEnabled(false);
    for (int i = 0; i < ListedCount(); ++i) {
        const int com = PortList[static_cast<size_t>(i)];
        if (com >= 1 && com <= kPortSlots)
            Panel_MonCom[static_cast<size_t>(com - 1)]->setEnabled(true);
    }
}

void TForm_Main::EnableAllPorts()
{
    for (int i = 0; i < kPortSlots; ++i)
        PortList[static_cast<size_t>(i)] = i + 1;
    PortCount = kPortSlots;
    FillPortControls();
}

void TForm_Main::MouseLeft(int slot, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || slot < 0 || slot >= kPortSlots)
        return;
    OpenError error;
    if (!Monitor::Instance().TogglePort(slot, error))
        ReportOpenFailure(slot + 1, error, "Serial Port Error");
}

void TForm_Main::MenuCOM_OpenAllClick() { Monitor::Instance().OpenAll(); }

void TForm_Main::MenuCOM_FindAllClick() { Monitor::Instance().FindAll(); }

void TForm_Main::MenuCOM_BreakAllClick() { Monitor::Instance().BreakAll(); }

void TForm_Main::MenuCOM_CloseAllClick() { Monitor::Instance().CloseAll(); }

void TForm_Main::MenuCOM_CloseQuietClick() { Monitor::Instance().CloseQuiet(); }

void TForm_Main::MenuCOM_EnablePortsClick() { EnableAllPorts(); }
