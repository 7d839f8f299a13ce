#include "logging/data_log.h"

#include <QCheckBox>
#include <QString>
#include <set>

#include "core/main_window.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "link/shared_flags.h"
#include "model/formats/log_file.h"
#include "model/formats/log_record.h"
#include "logging/form_log.h"

int32_t LogByReports = 1;
int32_t LogInterval = 0;
int32_t LogActivePort = -1;
int32_t LogRecordCount = 0;
std::optional<std::string> BrowsedLogFileName;
std::array<LogPortRecord, kPortSlots> LogPorts;
std::array<uint8_t, kPortSlots> BiasWarned = {};

namespace {

// Files already reported as unwritable in this run: the user is told once per file.
std::set<std::string> g_unwritable;

void NoteUnwritable(const std::string& fileName)
{
    if (g_unwritable.insert(fileName).second && Form_Log)
        Form_Log->ShowUnwritable(fileName);
}

LogSelection CurrentSelection()
{
    if (Form_Log)
        return Form_Log->Selection();
    LogSelection towOnly{};
    towOnly[static_cast<size_t>(LogField::TOW)] = true;
    return towOnly;
}

void ColourLogStatus(const QColor& colour)
{
    if (Form_Main)
        Form_Main->Panel_LogStatus->setColour(colour);
}

float Now(int slot)
{
    return PortReports[static_cast<size_t>(slot)].fixTime + LogPorts[static_cast<size_t>(slot)].TicksSinceFix;
}

void ShowDuration(int slot)
{
    const float elapsed = ElapsedWeekSeconds(Now(slot), LogPorts[static_cast<size_t>(slot)].startTime);
    const QString text = QString::fromStdString(FormatTimeOfWeek(elapsed, 0));
    if (Form_Log)
        Form_Log->ShowDuration(text);
    if (Form_Main)
        Form_Main->Panel_LogStatus->setCaption(text);
}

// Builds the record, restarts the latch and appends the line; true when it is on disk.
bool AppendRecord(int slot, std::string& line)
{
    PortReportRecord& reports = PortReports[static_cast<size_t>(slot)];
    line = BuildLogLine(CurrentSelection(), reports);
    RestartLevelLatch(reports);
    const std::string& fileName = LogPorts[static_cast<size_t>(slot)].fileName;
    if (AppendLogLine(fileName, line))
        return true;
    NoteUnwritable(fileName);
    return false;
}

} // namespace

std::string LogFileNameAtStart(const LogStartSettings& settings, int slot)
{
    const bool active = DisplayPort >= 1 && DisplayPort <= kPortSlots && slot == DisplayPort - 1;
    return active && BrowsedLogFileName ? *BrowsedLogFileName : LogFileName(settings.fileRoot, slot + 1);
}

std::vector<std::string> LogFilesToEmpty(const LogStartSettings& settings)
{
    std::vector<std::string> names;
    for (int n = 0; n < kPortSlots; ++n)
        if (PortTable[static_cast<size_t>(n)].monitored)
            names.push_back(LogFileNameAtStart(settings, n));
    return names;
}

void PrepareDataLog(const LogStartSettings& settings)
{
    LogActivePort = DisplayPort >= 1 && DisplayPort <= kPortSlots ? DisplayPort - 1 : -1;
    for (int n = 0; n < kPortSlots; ++n) {
        LogPorts[static_cast<size_t>(n)].fileName = LogFileNameAtStart(settings, n);
        LogTriggerId[static_cast<size_t>(n)] = 0;
    }
    g_unwritable.clear();
    if (!settings.append) {
        for (size_t n = 0; n < kPortSlots; ++n) {
            const std::string& fileName = LogPorts[n].fileName;
            if (PortTable[n].monitored && !CreateEmptyLogFile(fileName))
                NoteUnwritable(fileName);
        }
    }
    LogByReports = settings.systemTimer ? 0 : 1;
    LogInterval = ParseLogInterval(settings.intervalText, LogInterval);
    for (int n = 0; n < kPortSlots; ++n) {
        LogPortRecord& log = LogPorts[static_cast<size_t>(n)];
        const float fixTime = PortReports[static_cast<size_t>(n)].fixTime;
        log.lastRecordTime = fixTime - static_cast<float>(LogInterval);
        log.startTime = fixTime;
        log.TicksSinceFix = 0;
    }
    LogRecordCount = 0;
}

namespace {

void WriteLogRecordForSlot(int slot)
{
    PortReportRecord& reports = PortReports[static_cast<size_t>(slot)];
    if (!Flags.DataLoggingOn) {
        reports.latchRestart.fill(1);
        return;
    }
    const bool active = slot == LogActivePort;
    LogPortRecord& log = LogPorts[static_cast<size_t>(slot)];
    const float now = Now(slot);
    if (ElapsedWeekSeconds(now, log.lastRecordTime) < static_cast<float>(LogInterval)) {
        if (active)
            ColourLogStatus(Colours::Lime);
    } else {
        log.lastRecordTime = now;
        std::string line;
        if (AppendRecord(slot, line) && active) {
            ++LogRecordCount;
            if (Form_Log)
                Form_Log->ShowLastSet(LogRecordCount, line);
            ColourLogStatus(Colours::Yellow);
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
        if (!PortTable[static_cast<size_t>(slot)].monitored || PortTable[static_cast<size_t>(slot)].lost)
            continue;
        if (PortReports[static_cast<size_t>(slot)].healthCode != 0) {
            LogPorts[static_cast<size_t>(slot)].TicksSinceFix += 1.0f;
            WriteLogRecordForSlot(slot);
        } else if (LogByReports == 0) {
            WriteLogRecordForSlot(slot);
        }
    }
}

bool LogBiasChecked() { return Form_Log && Form_Log->BiasChecked(); }

void SetLogBiasAvailable(bool available)
{
    if (Form_Log)
        Form_Log->SetBiasAvailable(available);
}

void ResetDataLogState()
{
    LogByReports = 1;
    LogInterval = 0;
    LogActivePort = -1;
    LogRecordCount = 0;
    BrowsedLogFileName.reset();
    LogPorts.fill(LogPortRecord{});
    BiasWarned.fill(0);
    g_unwritable.clear();
}
