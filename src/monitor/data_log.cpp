#include "monitor/data_log.h"

#include <QString>
#include <set>

#include "model/gps_time.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "link/replayed_ports.h"
#include "link/shared_flags.h"
#include "model/formats/log_file.h"
#include "model/formats/log_record.h"
#include "monitor/logging_notifier.h"

int32_t LogByReports = 1;
std::array<LogPortRecord, kPortSlots> LogPorts;
std::array<uint8_t, kPortSlots> BiasWarned = {};

DataLogRun& LogRun()
{
    static DataLogRun run;
    return run;
}

namespace {

void NoteUnwritable(const std::string& fileName)
{
    if (LogRun().unwritable.insert(fileName).second)
        emit LoggingEvents().logFileUnwritable(fileName);
}

void LightLogStatus(LogLamp lamp) { emit LoggingEvents().logStatusLampChanged(lamp); }

float Now(int slot)
{
    return PortReports[static_cast<size_t>(slot)].fixTime + LogPorts[static_cast<size_t>(slot)].TicksSinceFix;
}

void ShowDuration(int slot)
{
    const float elapsed = ElapsedWeekSeconds(Now(slot), LogPorts[static_cast<size_t>(slot)].startTime);
    const QString text = QString::fromStdString(FormatTimeOfWeek(elapsed, 0));
    emit LoggingEvents().logDurationChanged(text);
    emit LoggingEvents().logStatusCaptionChanged(text);
}

// Builds the record, restarts the latch and appends the line; true when it is on disk.
bool AppendRecord(int slot, std::string& line)
{
    PortReportRecord& reports = PortReports[static_cast<size_t>(slot)];
    line = BuildLogLine(DataLogSettings().selection, reports);
    RestartLevelLatch(reports);
    const std::string& fileName = LogPorts[static_cast<size_t>(slot)].fileName;
    if (AppendLogLine(fileName, line))
        return true;
    NoteUnwritable(fileName);
    return false;
}

} // namespace

std::string LogFileNameAtStart(const LogSettings& settings, int slot)
{
    const bool active = DisplayPort >= 1 && DisplayPort <= kPortSlots && slot == DisplayPort - 1;
    const std::optional<std::string>& browsed = LogRun().browsedFileName;
    return active && browsed ? *browsed : LogFileName(settings.fileRoot, slot + 1);
}

std::vector<std::string> LogFilesToEmpty(const LogSettings& settings)
{
    std::vector<std::string> names;
    for (int n = 0; n < kPortSlots; ++n)
        if (LoggedPort(PortTable[static_cast<size_t>(n)]))
            names.push_back(LogFileNameAtStart(settings, n));
    return names;
}

void PrepareDataLog(const LogSettings& settings)
{
    LogRun().activePort = DisplayPort >= 1 && DisplayPort <= kPortSlots ? DisplayPort - 1 : -1;
    for (int n = 0; n < kPortSlots; ++n) {
        LogPorts[static_cast<size_t>(n)].fileName = LogFileNameAtStart(settings, n);
        LogTriggerId[static_cast<size_t>(n)] = 0;
    }
    LogRun().unwritable.clear();
    if (!settings.append) {
        for (size_t n = 0; n < kPortSlots; ++n) {
            const std::string& fileName = LogPorts[n].fileName;
            if (LoggedPort(PortTable[n]) && !CreateEmptyLogFile(fileName))
                NoteUnwritable(fileName);
        }
    }
    LogByReports = settings.systemTimer ? 0 : 1;
    LogRun().interval = ParseLogInterval(settings.intervalText, LogRun().interval);
    for (int n = 0; n < kPortSlots; ++n) {
        LogPortRecord& log = LogPorts[static_cast<size_t>(n)];
        const float fixTime = PortReports[static_cast<size_t>(n)].fixTime;
        log.lastRecordTime = fixTime - static_cast<float>(LogRun().interval);
        log.startTime = fixTime;
        log.TicksSinceFix = 0;
    }
    LogRun().recordCount = 0;
}

namespace {

void WriteLogRecordForSlot(int slot)
{
    PortReportRecord& reports = PortReports[static_cast<size_t>(slot)];
    if (!Flags.DataLoggingOn) {
        reports.latchRestart.fill(1);
        return;
    }
    const bool active = slot == LogRun().activePort;
    LogPortRecord& log = LogPorts[static_cast<size_t>(slot)];
    const float now = Now(slot);
    if (ElapsedWeekSeconds(now, log.lastRecordTime) < static_cast<float>(LogRun().interval)) {
        if (active)
            LightLogStatus(LogLamp::On);
    } else {
        log.lastRecordTime = now;
        std::string line;
        if (AppendRecord(slot, line) && active) {
            ++LogRun().recordCount;
            emit LoggingEvents().logRecordWritten(LogRun().recordCount, line);
            LightLogStatus(LogLamp::Written);
        }
    }
    if (active)
        ShowDuration(slot);
}

} // namespace

void WriteLogRecord(PortRecord& port)
{
    if (port.slot >= 0 && port.slot < kPortSlots)
        WriteLogRecordForSlot(port.slot);
}

void LogSystemTick()
{
    // During a transfer no report is decoded: the values would be stale.
    if (!Flags.DataLoggingOn || Flags.TransferRunning)
        return;
    for (int slot = 0; slot < kPortSlots; ++slot) {
        // A lost port has nothing new to log until it is reopened.
        if (!LoggedPort(PortTable[static_cast<size_t>(slot)]) || PortTable[static_cast<size_t>(slot)].lost)
            continue;
        if (PortReports[static_cast<size_t>(slot)].healthCode != 0) {
            LogPorts[static_cast<size_t>(slot)].TicksSinceFix += 1.0f;
            WriteLogRecordForSlot(slot);
        } else if (LogByReports == 0) {
            WriteLogRecordForSlot(slot);
        }
    }
}

bool LogBiasChecked() { return DataLogSettings().Has(LogField::Bias); }

void SetLogBiasAvailable(bool available)
{
    if (!available && !Flags.DataLoggingOn)
        DataLogSettings().selection[static_cast<size_t>(LogField::Bias)] = false;
    emit LoggingEvents().logBiasAvailable(available);
}

void ResetDataLogState()
{
    LogByReports = 1;
    LogRun() = DataLogRun{};
    LogPorts.fill(LogPortRecord{});
    BiasWarned.fill(0);
    DataLogSettings() = LogSettings{};
}
