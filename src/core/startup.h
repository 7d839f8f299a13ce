// Start-up: the one-letter options, the port list, the choice of the display
// port and the creation of the windows.
#pragma once

#include <string>
#include <vector>

// The first argument whose second character is the letter, or null.
const std::string* FindOption(const std::vector<std::string>& args, char letter);

enum class StartResult {
    Run,        // the windows exist; run the message loop
    Cancelled,  // the port selection was cancelled: end quietly
    PortFailed, // the display port could not be opened: the box was shown
};

// Runs the start-up sequence on the program's arguments (our own long options
// and port mappings already taken out).
StartResult StartMonitor(const std::vector<std::string>& args);
