#include "monitor/position_logging.h"

#include <QString>

#include "link/commands.h"
#include "link/port_table.h"
#include "link/replayed_ports.h"
#include "monitor/data_log.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "monitor/requests.h"

namespace {

// The warning that logging asks for a bias this report kind does not carry; once per port.
void WarnNoBias(const PortRecord& port)
{
    const auto slot = static_cast<size_t>(port.slot);
    if (!LoggedPort(port) || !LogBiasChecked() || BiasWarned[slot])
        return;
    BiasWarned[slot] = 1; // one box per port, however many reports follow
    ui::Tell(QString::asprintf("Port %d monitored but not outputting bias.", port.slot + 1),
                QStringLiteral("Log Warning"), ui::Icon::Exclamation);
}

// Records paced by reports follow one report kind per port: the first that
// arrives after the start (or after new I/O options) binds the port.
void TriggerLogRecord(PortRecord& port, int reportId)
{
    const auto slot = static_cast<size_t>(port.slot);
    int32_t& trigger = LogTriggerId[slot];
    if (LogByReports != 1 || !LoggedPort(port) || (trigger != 0 && trigger != 1 && trigger != reportId))
        return;
    LogPorts[slot].TicksSinceFix = 0;
    WriteLogRecord(port);
    if (trigger == 1)
        trigger = 0;
    else if (trigger == 0)
        trigger = reportId;
}

void LogPosition(int slot)
{
    if (slot < 0 || slot >= kPortSlots)
        return;
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    const uint8_t id = PortReports[static_cast<size_t>(slot)].positionId;
    if (id == 0x4A)
        LogPorts[static_cast<size_t>(slot)].TicksSinceFix = 0;
    if (id == 0x42)
        WarnNoBias(port);
    TriggerLogRecord(port, id);
    if (slot + 1 == DisplayPort)
        SetLogBiasAvailable(CarriesBias(id));
}

} // namespace

void LogPositionReports(QObject* context)
{
    QObject::connect(&Receivers(), &ReceiverNotifier::positionChanged, context, &LogPosition);
}
