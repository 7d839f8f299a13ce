#include "daemon/daemon.h"

#include <QDateTime>
#include <chrono>
#include <ostream>

#include "daemon/service_notify.h"
#include "jx_version.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "platform/port_enumeration.h"

namespace {

// /healthz fails when no tick has run for this long (a tick is due every 200 ms).
constexpr double kTickStalledS = 5;

std::string PortName(int slot) { return "COM" + std::to_string(slot + 1); }

} // namespace

DaemonClock SystemDaemonClock()
{
    return {[] {
                using namespace std::chrono;
                return duration<double>(steady_clock::now().time_since_epoch()).count();
            },
            [] { return static_cast<int64_t>(QDateTime::currentSecsSinceEpoch()); }};
}

Daemon::Daemon(const DaemonConfig& config, DaemonClock clock, std::ostream& journal, ServiceNotifier* notifier,
               QObject* parent)
    : QObject(parent), config_(config), clock_(std::move(clock)), journal_(journal), notifier_(notifier)
{
    for (int slot = 0; slot < kPortSlots; ++slot) {
        PortState& port = ports_[static_cast<size_t>(slot)];
        port.alarms = std::make_unique<PortAlarms>(config_.alarms);
        if (!config_.recording.directory.empty())
            port.recorder = std::make_unique<RotatingRecorder>(config_.recording, PortName(slot));
    }
    // Every packet of every open port, as the dispatch announces it.
    connect(&Receivers(), &ReceiverNotifier::packetIn, this, [this](int slot, int id, QByteArrayView data) {
        OnPacket(slot, id, reinterpret_cast<const uint8_t*>(data.data()), static_cast<uint32_t>(data.size()));
    });
}

Daemon::~Daemon() { CloseRecordings(); }

ReceiverSnapshot Daemon::SnapshotOfSlot(int slot)
{
    const size_t s = static_cast<size_t>(slot);
    ReceiverSnapshot snapshot = SnapshotOf(PortTable[s], PortReports[s], ports_[s].seen);
    snapshot.port = PortName(slot);
    snapshot.device = ComDevicePath(slot + 1);
    snapshot.reconnects = ports_[s].reconnects;
    return snapshot;
}

void Daemon::OnTick()
{
    const double now = clock_.steadyS();
    ++ticks_;
    lastTickS_ = now;
    for (const ComMapping& mapping : CurrentComMapping()) {
        const int slot = mapping.com - 1;
        PortState& port = ports_[static_cast<size_t>(slot)];
        const ReceiverSnapshot snapshot = SnapshotOfSlot(slot);
        if (snapshot.open && !port.wasOpen && port.everOpen)
            ++port.reconnects;
        port.everOpen = port.everOpen || snapshot.open;
        port.wasOpen = snapshot.open;
        for (const AlarmTransition& t : port.alarms->Update(now, AlarmConditions(snapshot, config_.alarms)))
            Journal(slot, t, {});
    }
    UpdateStatus();
    if (notifier_)
        notifier_->KeepAlive(static_cast<int64_t>(now * 1000));
}

void Daemon::OnPacket(int slot, int id, const uint8_t* data, uint32_t length)
{
    if (slot < 0 || slot >= kPortSlots)
        return;
    PortState& port = ports_[static_cast<size_t>(slot)];
    port.seen.set(static_cast<size_t>(id & 0xFF));
    if (!port.recorder)
        return;
    const RotatingRecorder::Health health = port.recorder->Write(clock_.utcS(), static_cast<uint8_t>(id), data, length);
    if (health == RotatingRecorder::Health::Same)
        return;
    const bool failed = health == RotatingRecorder::Health::Failed;
    if (const auto t = port.alarms->Set(AlarmKind::RecordingFailed, failed))
        Journal(slot, *t, failed ? port.recorder->Problem() : port.recorder->FileName());
}

void Daemon::CloseRecordings()
{
    for (PortState& port : ports_)
        if (port.recorder)
            port.recorder->Close();
}

void Daemon::Journal(int slot, const AlarmTransition& t, const std::string& detail)
{
    journal_ << AlarmJournalLine(PortName(slot), ComDevicePath(slot + 1), t, detail) << std::endl;
}

void Daemon::UpdateStatus()
{
    if (!notifier_)
        return;
    int mapped = 0, open = 0, alarms = 0;
    for (const ComMapping& mapping : CurrentComMapping()) {
        const size_t slot = static_cast<size_t>(mapping.com - 1);
        ++mapped;
        open += ports_[slot].wasOpen ? 1 : 0;
        for (const AlarmState& state : ports_[slot].alarms->States())
            alarms += state.active ? 1 : 0;
    }
    const std::string status = std::to_string(open) + " of " + std::to_string(mapped) + " receivers open, " +
                               std::to_string(alarms) + " alarms active";
    if (status != status_)
        notifier_->Status(status);
    status_ = status;
}

std::vector<PortMetrics> Daemon::CurrentMetrics()
{
    std::vector<PortMetrics> metrics;
    for (const ComMapping& mapping : CurrentComMapping()) {
        const int slot = mapping.com - 1;
        metrics.push_back({SnapshotOfSlot(slot), ports_[static_cast<size_t>(slot)].alarms->States()});
    }
    return metrics;
}

HttpAnswer Daemon::Metrics() { return {200, kMetricsContentType, MetricsText(CurrentMetrics(), kJxVersion)}; }

HttpAnswer Daemon::Health()
{
    if (lastTickS_ < 0)
        return {503, "text/plain; charset=utf-8", "no tick yet\n"};
    const double since = clock_.steadyS() - lastTickS_;
    if (since > kTickStalledS)
        return {503, "text/plain; charset=utf-8", "no tick for " + std::to_string(static_cast<int>(since)) + " s\n"};
    return {200, "text/plain; charset=utf-8", "ok\n"};
}

const PortAlarms* Daemon::AlarmsOf(int slot) const
{
    return slot >= 0 && slot < kPortSlots ? ports_[static_cast<size_t>(slot)].alarms.get() : nullptr;
}
