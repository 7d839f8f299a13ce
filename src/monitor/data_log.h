// The data logger's program-wide state and the record writer that the
// position decoders (when records are paced by reports, binding each port to
// one report kind through LogTriggerId) and the one-second timer call.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/port_table.h"
#include "model/log_settings.h"

struct LogPortRecord {
    std::string fileName;     // "%s%d.dat" of the root and COM number, or the browsed name
    float lastRecordTime = 0; // fixTime plus TicksSinceFix at the last record
    float startTime = 0;      // fixTime at Start
    float TicksSinceFix = 0;  // seconds counted while health is not 0; cleared by position reports
};

// 1: records paced by position reports; 0: by the one-second system timer.
extern int32_t LogByReports;
extern std::array<LogPortRecord, kPortSlots> LogPorts;
// The "not outputting bias" warning was shown for the port.
extern std::array<uint8_t, kPortSlots> BiasWarned;

// The logger's run: what Start decided and what the run has counted.
struct DataLogRun {
    // Least GPS time in seconds between two records of one port (1 or more once started).
    int32_t interval = 0;
    // Slot of the display port at Start (-1 when there was none): its file,
    // record count and status are shown.
    int32_t activePort = -1;
    // Records written for the active port since Start.
    int32_t recordCount = 0;
    // The file chosen with Browse; replaces the active port's file at Start.
    std::optional<std::string> browsedFileName;
    // Files already reported as unwritable in this run: the user is told once per file.
    std::set<std::string> unwritable;
};
DataLogRun& LogRun();

// The file each slot would write after a Start with these settings.
std::string LogFileNameAtStart(const LogSettings& settings, int slot);
// The files a Start without Append empties: those of the monitored ports.
std::vector<std::string> LogFilesToEmpty(const LogSettings& settings);

// Sets up every port's file and times for a new run and empties the files
// of the monitored ports unless appending. Does not touch the windows and
// does not set DataLoggingOn.
void PrepareDataLog(const LogSettings& settings);

// Appends one record for the port, with the values DataLogSettings() selects
// now, when its interval has passed (or only restarts the channel latch while
// logging is off). What happened is told through LoggingEvents().
void WriteLogRecord(PortRecord& port);

// One tick of the one-second system timer.
void LogSystemTick();

// Whether the record holds the clock bias, as the position decoders ask.
bool LogBiasChecked();
// A position report that carries a bias offers the choice; one without
// withdraws it (and clears it while logging is off). Announced for the window.
void SetLogBiasAvailable(bool available);

// Every value above back to its start value.
void ResetDataLogState();
