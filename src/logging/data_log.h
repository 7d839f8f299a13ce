// The data logger's program-wide state and the record writer that the
// position decoders call when records are paced by reports.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/port_table.h"

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

// Appends one record for the port when its interval has passed (or only
// restarts the channel latch while logging is off).
void WriteLogRecord(PortRecord& port);

// The logging window's "Bias (ns) " box, as the position decoders use it.
bool LogBiasChecked();
// A position report that carries a bias enables the box; one without disables
// it (and unchecks it while logging is off).
void SetLogBiasAvailable(bool available);

void ResetDataLogState();
