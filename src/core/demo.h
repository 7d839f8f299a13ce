// The monitor on simulated receivers, so it can be seen with no hardware.
#pragma once

#include <string>
#include <vector>

// Starts the simulated receivers and maps them to COM numbers. Returns false
// and fills message when demo mode cannot run.
bool StartDemo(std::vector<std::string>& args, std::string* message);
