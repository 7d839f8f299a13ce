// The running monitor for the benchmarks: every window created as the
// start-up does (offscreen unless a platform is set), the display port COM1
// on an in-memory device, message boxes answered with their default button.
#pragma once

#include <memory>

#include "support/fake_serial.h"

// Starts the monitor; returns the display port's device, or null.
std::shared_ptr<FakeSerial::State> StartBenchMonitor();
// Destroys the windows and returns every program-wide state to its start.
void StopBenchMonitor();

// main() of a benchmark binary that needs a QApplication.
int RunQtBenchmarks(int argc, char** argv);
