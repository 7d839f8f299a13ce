// The monitor on simulated receivers, so it can be seen with no hardware.
#pragma once

#include <string>
#include <vector>

constexpr int kDemoReceivers = 3;

// Starts the simulated receivers, maps them to COM1..COM3 and adds the
// arguments that choose COM1 as the display port and the multiport layout.
// Returns false and fills message when demo mode cannot run.
bool StartDemo(std::vector<std::string>& args, std::string* message);
// Once the windows exist: the other simulated receivers are opened and monitored.
void MonitorDemoReceivers();
// Whether the path is one of the running demo's simulated receivers.
bool IsDemoDevice(const std::string& path);
// Ends the simulated receivers.
void StopDemo();
