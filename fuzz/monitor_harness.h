// The running monitor for the GUI fuzz targets: the windows built as at
// start-up (offscreen), the display port and a monitored port on in-memory
// lines whose input each fuzz input sets, boxes answered at once, file
// dialogs naming files in a temporary folder and a fake PC clock, so nothing
// blocks and nothing on the machine changes.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>

#include "link/port_table.h"
#include "platform/clock.h"

constexpr int kHarnessDisplayCom = 3;
constexpr int kHarnessMonitoredCom = 5;

// Builds the monitor once per process; the name is the program's argv[0].
void StartHarnessMonitor(const char* name);

// The port of the COM number with its line (re)attached: a timer tick's
// housekeeping may have closed a quiet one. Its parser starts outside a
// frame, so a finding replays on its own.
PortRecord& HarnessPort(int com);
// Queues the bytes for the port's line to read; they must outlive the reads.
void SetHarnessInput(int com, const uint8_t* bytes, size_t count);
size_t HarnessInputLeft(int com);

FakeClock& HarnessClock();
// A file in the temporary folder.
QString HarnessFile(const QString& name);
