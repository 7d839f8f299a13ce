// Helpers for tests of the running monitor: a main window whose display port
// is an in-memory device, packets framed as on the line, and the reset of
// the monitor's program-wide state between tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "support/fake_serial.h"

// Puts a fake device in the display port's slot, creates every window as the
// start-up does and returns the device. DisplayPort is set to com; PortList
// becomes 1..16 unless listed is given.
std::shared_ptr<FakeSerial::State> StartMonitorOnFake(int com, const std::vector<int32_t>& listed = {});

// The usual two lines: COM3 the display port, its search finished and the
// auto-queries off, and COM5 a monitored port.
struct DisplayAndMonitored {
    std::shared_ptr<FakeSerial::State> display;
    std::shared_ptr<FakeSerial::State> monitored;
};
DisplayAndMonitored StartDisplayAndMonitored();

// Creates every window as the start-up does, opening the display port through
// the COM mapping (a real device); the timer is stopped. False when it failed.
bool StartMonitorOnDevice();

// The frame of a message (id first) as it travels on the line.
std::vector<uint8_t> Frame(const std::vector<uint8_t>& message);
// Takes and returns what the program wrote to the device so far.
std::vector<uint8_t> TakeWritten(FakeSerial::State& state);
// Runs the poll timer's handler n times.
void Tick(int n = 1);

// Destroys the windows and returns the monitor's state to its start values.
void ResetMonitorState();
// For each test binary's main: QApplication exists; registers the reset.
void InstallMonitorStateReset();
