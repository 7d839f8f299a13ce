#include "monitor/monitor.h"

#include <QTimer>

#include <array>

#include "link/commands.h"
#include "link/framing.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "monitor/dispatch.h"
#include "monitor/network_status.h"
#include "monitor/poll_timer.h"
#include "monitor/requests.h"
#include "monitor/tracking.h"

int32_t PollTick = 0;
void (*ExpireChannelsHook)() = &ExpireChannels;

void ResetDropReports(); // monitor_links.cpp

namespace {

constexpr int kTickMs = 200;
constexpr int kSilentTicks = 25; // 5 s of ticks without a packet: the display's fields go stale

class TickGuard {
public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickGuard() { flag_ = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

private:
    bool& flag_;
};

PortRecord& Slot(int slot) { return PortTable[static_cast<size_t>(slot)]; }

bool IsDisplay(int slot) { return slot + 1 == DisplayPort; }

} // namespace

Monitor& Monitor::Instance()
{
    static Monitor* monitor = new Monitor; // lives as long as the program, like the port table
    return *monitor;
}

Monitor::Monitor()
{
    setObjectName("Monitor");
    timer_ = new QTimer(this);
    timer_->setObjectName("Timer_ZELK");
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &Monitor::Tick);
    InstallLinkHooks();
}

void Monitor::Start()
{
    InstallLinkHooks(); // a program state reset removes them
    timer_->start();
}

void Monitor::Stop()
{
    timer_->stop();
    transmit_->stop();
}

bool Monitor::IsRunning() const { return timer_->isActive(); }

void Monitor::Tick()
{
    if (inTick_)
        return;
    {
        // The requests of this tick (boxes, questions) go to the face after it.
        ui::HoldRequests later;
        TickGuard guard(inTick_);
        RunTick();
    }
    emit ticked();
}

void Monitor::RunTick()
{
    FadeLamps();
    AgePortTraffic(kTickMs);
    bool anyOpen = false;
    bool displayFresh = false;
    // Most lines have nothing queued at most ticks: one poll finds them all.
    std::array<const SerialDevice*, kPortSlots> devices{};
    std::array<bool, kPortSlots> quiet{};
    for (int slot = 0; slot < kPortSlots; ++slot)
        devices[static_cast<size_t>(slot)] = Slot(slot).open ? Slot(slot).handle.get() : nullptr;
    FindQuietDevices(devices.data(), devices.size(), quiet.data());
    for (int slot = 0; slot < kPortSlots; ++slot) {
        PortRecord& port = Slot(slot);
        if (!port.open)
            continue;
        if (!MarkLostIfGone(port)) {
            anyOpen = true;
            // A network port's search waits for its connection, or its queries would only queue up.
            if (!port.handle || port.handle->State() != DeviceState::Connecting)
                AdvanceSearch(slot);
            const uint8_t seenBefore = port.packetSeen;
            port.packetSeen = 0;
            if (!quiet[static_cast<size_t>(slot)])
                PollPort(port, &DispatchReport, 0);
            if (IsDisplay(slot))
                displayFresh = port.packetSeen != 0;
            port.packetSeen |= seenBefore;
        }
        FollowConnection(slot);
    }
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots)
        TrackDisplayFreshness(displayFresh, Slot(DisplayPort - 1).lost);
    ReopenLostPorts(kTickMs);
    PollTick = (PollTick + 1) % 10;
    if (!anyOpen)
        return;
    if (autoQuery_)
        SendPeriodicQueries();
    if ((PollTick == 3 || PollTick == 8) && ExpireChannelsHook)
        ExpireChannelsHook();
    if (PollTick == 9)
        Housekeeping();
}

void Monitor::SendPeriodicQueries()
{
    const int target = queryEveryPort_ ? TX_ALL : TX_DEFAULT;
    if (PollTick == 0 || PollTick == 5)
        RequestHealth(target);
    else if (PollTick == 1 || PollTick == 6)
        RequestSatSelection(target);
    else if (PollTick == 2 || PollTick == 7)
        RequestTracking(target);
}

// A lamp lit during one tick goes dark at the next but one.
void Monitor::FadeLamps()
{
    bool tx = txLit_;
    bool rx = rxLit_;
    if (txWasLit_) {
        tx = false;
        txWasLit_ = false;
    }
    if (rxWasLit_) {
        rx = false;
        rxWasLit_ = false;
    }
    txWasLit_ = tx;
    rxWasLit_ = rx;
    SetLamps(tx, rx);
}

void Monitor::SetLamps(bool tx, bool rx)
{
    if (tx == txLit_ && rx == rxLit_)
        return;
    txLit_ = tx;
    rxLit_ = rx;
    emit lampsChanged();
}

void Monitor::LightRx() { SetLamps(txLit_, true); }

void Monitor::LightTx() { SetLamps(true, rxLit_); }

void Monitor::AdvanceSearch(int slot)
{
    PortRecord& port = Slot(slot);
    const int step = port.searchStep;
    if (step <= 0)
        return;
    port.searchStep = step - 1;
    if (step == 4) {
        // A reopened slot runs with the line settings it had before it was lost.
        LineCodes& codes = PortLineCodes[static_cast<size_t>(slot)];
        if (!port.resumed)
            codes = LineCodes{7, 3, 1, 0};
        if (IsDisplay(slot))
            emit serialLineChanged(QString("COM%1: %2: %3-%4-%5")
                                       .arg(slot + 1)
                                       .arg(BaudText(codes.baud), DataBitsText(codes.dataBits),
                                            ParityText(codes.parity), StopBitsText(codes.stopBits)),
                                   false);
    } else if (step == 2) {
        RequestVersion(slot);
    } else if (step == 1) {
        RequestDgpsMode(slot);
        RequestIoOptions(slot);
        RequestDatum(slot);
        RequestTime(slot);
    }
}

void Monitor::Housekeeping()
{
    for (PortRecord& port : PortTable) {
        port.activeLastPeriod = port.packetSeen;
        port.packetSeen = 0;
    }
    emit portPanelsChanged();
    if (QuietCloseCountdown != 0 && --QuietCloseCountdown == 0)
        CloseQuiet();
}

void Monitor::TrackDisplayFreshness(bool packetThisTick, bool lost)
{
    silentTicks_ = packetThisTick ? 0 : silentTicks_ + 1;
    const bool stale = lost || silentTicks_ >= kSilentTicks;
    // Stale fields stay stale until a packet arrives, not merely until the loss ends.
    if (stale == displayStale_ || (!stale && !packetThisTick))
        return;
    displayStale_ = stale;
    emit displayStaleChanged(stale);
}

PortPanelState Monitor::PanelState(int slot) const
{
    const PortRecord& port = Slot(slot);
    if (port.lost)
        return PortPanelState::Lost;
    if (!port.monitored)
        return PortPanelState::Unmonitored;
    return port.activeLastPeriod ? PortPanelState::Active : PortPanelState::Quiet;
}

void Monitor::SetAutoQuery(bool on) { autoQuery_ = on; }

bool Monitor::AutoQuery() const { return autoQuery_; }

void Monitor::SetQueryEveryPort(bool on) { queryEveryPort_ = on; }

bool Monitor::QueryEveryPort() const { return queryEveryPort_; }

void Monitor::Say(const QString& text)
{
    if (!text.isEmpty())
        emit hintChanged(text);
}

void Monitor::Reset()
{
    timer_->stop();
    transmit_->stop();
    inTick_ = false;
    autoQuery_ = true;
    queryEveryPort_ = false;
    txLit_ = rxLit_ = txWasLit_ = rxWasLit_ = false;
    silentTicks_ = 0;
    displayStale_ = false;
    PollTick = 0;
    ExpireChannelsHook = &ExpireChannels;
    ResetNetworkStatus();
    ResetDropReports();
    ui::ResetRequests();
    InstallLinkHooks();
}
