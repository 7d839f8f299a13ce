// The monitoring engine: the 200 ms poll timer and the transmit timer, the
// search sequence of newly opened ports, supervision and reopening of lost
// ones, the network ports' status, the open/find/break/close-all commands and
// the dispatch of every packet to the registered decoders. QtCore only: the
// desktop program and the headless monitor run the same engine.
//
// The program has one engine, Monitor::Instance(), as it has one port table.
// What the main window shows of it (the Tx and Rx lamps, the hint line, the
// port panels' colours, the serial line caption, stale fields) is state here,
// announced by signals; the window renders it.
#pragma once

#include <QObject>
#include <QString>

#include <string>

#include "platform/serial_device.h"

class QTimer;

// The colour of a port's panel: not monitored, monitored without packets in
// the last 2 s, monitored with packets, or lost.
enum class PortPanelState { Unmonitored, Quiet, Active, Lost };

class Monitor : public QObject {
    Q_OBJECT
public:
    static Monitor& Instance();

    // The poll timer (objectName "Timer_ZELK") runs a tick every 200 ms while started.
    void Start();
    void Stop();
    bool IsRunning() const;
    // True while a tick runs (its routine queries are not the user's commands).
    bool InTick() const { return inTick_; }
    // One tick, as the poll timer runs it; for tests, tools and benchmarks.
    // A tick never runs inside another.
    void Tick();

    // Maps COM com (1..16) to device (a path, tcp://host:port or
    // rfc2217://host:port), opens it and monitors it; false with the reason
    // when it did not open.
    bool OpenPortOn(int com, const std::string& device, OpenError& error);
    // Opens every listed port and monitors it.
    void OpenAll();
    // OpenAll, then closes the ports still quiet two housekeeping rounds later.
    void FindAll();
    // Every open port runs the search sequence again.
    void BreakAll();
    // Closes every port except the display port, which is only no longer monitored.
    void CloseAll();
    // CloseAll for the ports without a packet in the last period.
    void CloseQuiet();
    // Closes every port, the display port too (program end).
    void CloseEveryPort();
    // A click on a port's panel: a lost port is given up, an open one toggles
    // monitoring (closed when no longer monitored), a closed one opens.
    // False with the reason when it would not open.
    bool TogglePort(int slot, OpenError& error);
    // The engine's side of a new display port: opened if closed (false with
    // the reason when it would not, the port is shown all the same), the old
    // one closed unless monitored, and its settings asked for.
    bool ChangeDisplayPort(int com, OpenError& error);

    // The periodic health, satellite-selection and tracking queries (on by default).
    void SetAutoQuery(bool on);
    bool AutoQuery() const;
    // The periodic queries go to every open port, each paced by its own
    // transmit queue, and every port's reports are decoded in full (a monitor
    // without a display port). Off: the display port (or all, with Tx-All).
    void SetQueryEveryPort(bool on);
    bool QueryEveryPort() const;

    // Model state for the main window.
    bool TxLit() const { return txLit_; }
    bool RxLit() const { return rxLit_; }
    PortPanelState PanelState(int slot) const;
    bool DisplayStale() const { return displayStale_; }
    // A packet reached the display port (the decoders' dispatch, the transfers).
    void LightRx();
    // A frame starts going out.
    void LightTx();
    // Writes what is due on the transmit queues now, unless the timer waits already.
    void ScheduleTransmit();
    // Says a line in the hint field (network status, module notes).
    void Say(const QString& text);

    // A slot was lost or reopened (the link layer tells): status, panels, the notifier.
    void PortStateChanged(int slot);
    // Stops the timers and returns the engine's state to its start values.
    void Reset();

signals:
    // After every tick.
    void ticked();
    // TxLit or RxLit changed.
    void lampsChanged();
    void hintChanged(const QString& text);
    // A port panel's state may have changed.
    void portPanelsChanged();
    // The display port's line: its caption, and whether the device is lost.
    void serialLineChanged(const QString& caption, bool lost);
    // The display port went silent for 5 s or was lost (true), or is fresh again.
    void displayStaleChanged(bool stale);

private:
    Monitor();
    void RunTick();
    void FadeLamps();
    void AdvanceSearch(int slot);
    void SendPeriodicQueries();
    void Housekeeping();
    void TrackDisplayFreshness(bool packetThisTick, bool lost);
    void TransmitTimer();
    void InstallLinkHooks();
    void CloseUnlessDisplay(int slot);
    void SetLamps(bool tx, bool rx);

    QTimer* timer_ = nullptr;
    QTimer* transmit_ = nullptr;
    bool inTick_ = false;
    bool autoQuery_ = true;
    bool queryEveryPort_ = false;
    bool txLit_ = false;
    bool rxLit_ = false;
    bool txWasLit_ = false;
    bool rxWasLit_ = false;
    int silentTicks_ = 0;
    bool displayStale_ = false;
};
