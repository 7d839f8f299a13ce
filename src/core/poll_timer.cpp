// One tick of the poll timer: lamp fading, the search sequence and read of
// every open slot, the periodic queries, channel expiry and housekeeping.
#include "core/poll_timer.h"

#include "core/dispatch.h"
#include "core/display_staleness.h"
#include "core/main_window.h"
#include "core/network_status.h"
#include "core/silent_port.h"
#include "link/commands.h"
#include "link/framing.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "link/transmit_queue.h"
#include "platform/ui.h"

int32_t PollTick = 0;
int32_t TxLedWasLit = 0;
int32_t RxLedWasLit = 0;
void (*ExpireChannelsHook)() = nullptr;

namespace {

constexpr int kTickMs = 200;

// A modal box opened inside a tick runs a nested event loop; a tick arriving
// there must not parse the half-read buffer of the outer one.
bool g_inTick = false;

class TickGuard {
public:
    TickGuard() { g_inTick = true; }
    ~TickGuard() { g_inTick = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;
};

void RunCycleStep()
{
    switch (PollTick) {
    case 3:
    case 8:
        if (ExpireChannelsHook)
            ExpireChannelsHook();
        break;
    default:
        break;
    }
}

} // namespace

void ResetPollTimerState()
{
    PollTick = 0;
    TxLedWasLit = 0;
    RxLedWasLit = 0;
    ExpireChannelsHook = nullptr;
    g_inTick = false;
    ui::DropDeferredBoxes();
    ResetDisplayFreshness();
    ResetDisplaySilence();
}

void TForm_Main::ZELKTimer()
{
    if (g_inTick)
        return;
    {
        TickGuard guard;
        ui::DeferBoxes later; // boxes of this tick open after it, so ticks go on under them
        RunTick();
    }
    ui::ShowDeferredBoxes();
}

void TForm_Main::RunTick()
{
    FadeLamps();
    AgePortTraffic(kTickMs);
    bool anyOpen = false;
    bool displayFresh = false;
    for (int slot = 0; slot < kPortSlots; ++slot) {
        PortRecord& port = PortTable[static_cast<size_t>(slot)];
        if (!port.open)
            continue;
        if (!MarkLostIfGone(port)) {
            anyOpen = true;
            // A network port's search waits for its connection, or its queries would only queue up.
            if (!port.handle || port.handle->State() != DeviceState::Connecting)
                AdvanceSearch(slot);
            const uint8_t seenBefore = port.packetSeen;
            port.packetSeen = 0;
            PollPort(port, &DispatchReport, 0);
            if (slot + 1 == DisplayPort)
                displayFresh = port.packetSeen != 0;
            port.packetSeen |= seenBefore;
        }
        FollowConnection(slot);
    }
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        const bool lost = PortTable[static_cast<size_t>(DisplayPort - 1)].lost;
        TrackDisplayFreshness(displayFresh, lost);
        WatchDisplaySilence(displayFresh, lost, kTickMs);
    }
    ReopenLostPorts(kTickMs);
    PollTick = (PollTick + 1) % 10;
    if (!anyOpen)
        return;
    if (AutoQueryOn) {
        if (PollTick == 0 || PollTick == 5)
            RequestHealth(TX_DEFAULT);
        else if (PollTick == 1 || PollTick == 6)
            RequestSatSelection(TX_DEFAULT);
        else if (PollTick == 2 || PollTick == 7)
            RequestTracking(TX_DEFAULT);
    }
    RunCycleStep();
    if (PollTick == 9)
        Housekeeping();
}

void TForm_Main::FadeLamps()
{
    if (TxLedWasLit) {
        Shape_TxLED->setFill(Colours::Grey);
        TxLedWasLit = 0;
    }
    if (RxLedWasLit) {
        Shape_RxLED->setFill(Colours::Grey);
        RxLedWasLit = 0;
    }
    if (Shape_TxLED->isLit())
        TxLedWasLit = 1;
    if (Shape_RxLED->isLit())
        RxLedWasLit = 1;
}

void TForm_Main::AdvanceSearch(int slot)
{
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    const int step = port.searchStep;
    if (step <= 0)
        return;
    port.searchStep = step - 1;
    if (step == 4) {
        // A reopened slot runs with the line settings it had before it was lost.
        LineCodes& codes = PortLineCodes[static_cast<size_t>(slot)];
        if (!port.resumed)
            codes = LineCodes{7, 3, 1, 0};
        if (slot + 1 == DisplayPort) {
            Panel_Serial->setCaption(QString("COM%1: %2: %3-%4-%5")
                                         .arg(slot + 1)
                                         .arg(BaudText(codes.baud), DataBitsText(codes.dataBits),
                                              ParityText(codes.parity), StopBitsText(codes.stopBits)));
            ShowSerialLost(false);
        }
    } else if (step == 2) {
        RequestVersion(slot);
    } else if (step == 1) {
        RequestDgpsMode(slot);
        RequestIoOptions(slot);
        RequestDatum(slot);
        RequestTime(slot);
    }
}

void TForm_Main::Housekeeping()
{
    for (PortRecord& port : PortTable) {
        port.activeLastPeriod = port.packetSeen;
        port.packetSeen = 0;
    }
    RefreshMonitorPanels();
    if (QuietCloseCountdown != 0 && --QuietCloseCountdown == 0)
        MenuCOM_CloseQuietClick();
}
