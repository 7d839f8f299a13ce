// The main window renders the engine's state: the Tx and Rx lamps, the hint
// line, the port panels' colours, the display port's line caption and the
// value fields greyed while the display port is silent or lost.
#include "core/display_staleness.h"
#include "core/main_window.h"
#include "core/silent_port.h"
#include "link/port_table.h"
#include "monitor/monitor.h"

void TForm_Main::ConnectEngine()
{
    Monitor& engine = Monitor::Instance();
    connect(&engine, &Monitor::lampsChanged, this, [this] {
        Shape_TxLED->setFill(Monitor::Instance().TxLit() ? Colours::Lime : Colours::Grey);
        Shape_RxLED->setFill(Monitor::Instance().RxLit() ? Colours::Lime : Colours::Grey);
    });
    connect(&engine, &Monitor::hintChanged, this, &TForm_Main::ApplyHint);
    connect(&engine, &Monitor::portPanelsChanged, this, &TForm_Main::RefreshMonitorPanels);
    connect(&engine, &Monitor::serialLineChanged, this, [this](const QString& caption, bool lost) {
        Panel_Serial->setCaption(caption);
        Panel_Serial->setTextColour(lost ? Colours::Red : WindowTextColour());
    });
    // The engine counts the display port's silence once; the fields grey and the words follow it.
    connect(&engine, &Monitor::displayStaleChanged, this, [this](bool stale) {
        ShowDisplayStale(ClientArea, stale);
        ShowDisplaySilence(stale);
    });
}

void TForm_Main::RefreshMonitorPanels()
{
    for (int slot = 0; slot < kPortSlots; ++slot) {
        Panel* panel = Panel_MonCom[static_cast<size_t>(slot)];
        switch (Monitor::Instance().PanelState(slot)) {
        case PortPanelState::Lost:
            panel->setColour(Colours::Red);
            break;
        case PortPanelState::Unmonitored:
            panel->setColour(ButtonFaceColour());
            break;
        case PortPanelState::Active:
            panel->setColour(Colours::Lime);
            break;
        case PortPanelState::Quiet:
            panel->setColour(Colours::Yellow);
            break;
        }
        panel->setHint("When lit, this port is monitored; when green, receiving packets");
    }
}
