// The COM panel: the display-port list, the 16 port panels and the commands
// of its pop-up menu, which open, mark and close the monitored ports.
#include <QComboBox>
#include <QSignalBlocker>

#include "core/main_window.h"
#include "core/open_failure.h"
#include "link/port_table.h"

namespace {

PortRecord& Slot(int slot) { return PortTable[static_cast<size_t>(slot)]; }

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
    }
    for (Panel* panel : Panel_MonCom) {
        panel->setEnabled(false);
        panel->setTextColour(InactiveCaptionTextColour());
    }
    for (int i = 0; i < ListedCount(); ++i) {
        const int com = PortList[static_cast<size_t>(i)];
        if (com < 1 || com > kPortSlots)
            continue;
        Panel_MonCom[static_cast<size_t>(com - 1)]->setEnabled(true);
        Panel_MonCom[static_cast<size_t>(com - 1)]->setTextColour(WindowTextColour());
    }
}

void TForm_Main::EnableAllPorts()
{
    for (int i = 0; i < kPortSlots; ++i)
        PortList[static_cast<size_t>(i)] = i + 1;
    PortCount = kPortSlots;
    FillPortControls();
}

void TForm_Main::RefreshMonitorPanels()
{
    for (int slot = 0; slot < kPortSlots; ++slot) {
        const PortRecord& port = Slot(slot);
        Panel* panel = Panel_MonCom[static_cast<size_t>(slot)];
        if (port.lost)
            panel->setColour(Colours::Red);
        else if (!port.monitored)
            panel->setColour(ButtonFaceColour());
        else
            panel->setColour(port.activeLastPeriod ? Colours::Lime : Colours::Yellow);
        panel->setHint("When lit, this port is monitored; when green, receiving packets");
    }
}

void TForm_Main::MouseLeft(int slot, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || slot < 0 || slot >= kPortSlots)
        return;
    PortRecord& port = Slot(slot);
    if (port.lost && slot + 1 != DisplayPort) {
        ClosePort(port); // the user gives up waiting for the device
    } else if (port.open) {
        port.monitored = !port.monitored;
        if (!port.monitored && slot + 1 != DisplayPort)
            ClosePort(port);
    } else if (OpenError error; OpenSlot(slot, error) == 0) {
        port.monitored = 1;
    } else {
        ReportOpenFailure(slot + 1, error, "Serial Port Error");
    }
    RefreshMonitorPanels();
}

void TForm_Main::CloseUnlessDisplay(int slot)
{
    PortRecord& port = Slot(slot);
    port.monitored = 0;
    if (slot + 1 != DisplayPort)
        ClosePort(port);
}

void TForm_Main::MenuCOM_OpenAllClick()
{
    for (int i = 0; i < ListedCount(); ++i) {
        const int slot = PortList[static_cast<size_t>(i)] - 1;
        if (slot < 0 || slot >= kPortSlots)
            continue;
        if (!Slot(slot).open) // an open port is left open as it is
            OpenSlot(slot);
        if (Slot(slot).open)
            Slot(slot).monitored = 1;
    }
    RefreshMonitorPanels();
}

void TForm_Main::MenuCOM_FindAllClick()
{
    MenuCOM_OpenAllClick();
    QuietCloseCountdown = 2;
}

void TForm_Main::MenuCOM_BreakAllClick()
{
    for (PortRecord& port : PortTable)
        if (port.open)
            port.searchStep = 7;
}

void TForm_Main::MenuCOM_CloseAllClick()
{
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (Slot(slot).open || Slot(slot).lost)
            CloseUnlessDisplay(slot);
    RefreshMonitorPanels();
}

void TForm_Main::MenuCOM_CloseQuietClick()
{
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (Slot(slot).open && !Slot(slot).activeLastPeriod)
            CloseUnlessDisplay(slot);
    RefreshMonitorPanels();
}

void TForm_Main::MenuCOM_EnablePortsClick() { EnableAllPorts(); }
