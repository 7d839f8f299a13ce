// jx_monitord's own part on top of the engine: after every tick it takes a
// snapshot of each mapped port, moves the alarms on and keeps the service
// manager's watchdog fed; every packet goes to its port's recording; the
// metrics page is made from fresh snapshots when it is asked for.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "daemon/alarms.h"
#include "daemon/daemon_config.h"
#include "daemon/metrics_server.h"
#include "daemon/metrics_text.h"
#include "daemon/receiver_snapshot.h"
#include "daemon/rotating_recorder.h"
#include "link/port_table.h"

class ServiceNotifier;

// The two clocks the daemon reads; tests and benchmarks give their own.
struct DaemonClock {
    std::function<double()> steadyS;  // for alarm delays and the health check
    std::function<int64_t()> utcS;    // for the recordings' periods and names
};
DaemonClock SystemDaemonClock();

class Daemon : public QObject {
    Q_OBJECT
public:
    Daemon(const DaemonConfig& config, DaemonClock clock, std::ostream& journal, ServiceNotifier* notifier = nullptr,
           QObject* parent = nullptr);
    ~Daemon() override;

    // After each tick of the engine: snapshots, alarms, watchdog.
    void OnTick();
    // Every completed packet of a port, before or after its decoders.
    void OnPacket(int slot, int id, const uint8_t* data, uint32_t length);
    // Closes every recording file (SIGTERM, end of run).
    void CloseRecordings();

    // The HTTP answers.
    HttpAnswer Metrics();
    HttpAnswer Health();

    std::vector<PortMetrics> CurrentMetrics();
    const PortAlarms* AlarmsOf(int slot) const;
    uint64_t Ticks() const { return ticks_; }

private:
    struct PortState {
        ReportsSeen seen;
        std::unique_ptr<PortAlarms> alarms;
        std::unique_ptr<RotatingRecorder> recorder;
        bool wasOpen = false;
        bool everOpen = false;
        uint64_t reconnects = 0;
    };

    ReceiverSnapshot SnapshotOfSlot(int slot);
    PortAlarms& AlarmsFor(int slot);
    void Journal(int slot, const AlarmTransition& t, const std::string& detail);
    void UpdateStatus();

    DaemonConfig config_;
    DaemonClock clock_;
    std::ostream& journal_;
    ServiceNotifier* notifier_;
    std::array<PortState, kPortSlots> ports_;
    uint64_t ticks_ = 0;
    double lastTickS_ = -1;
    std::string status_;
};
