// Command line of zelk_sim.
#pragma once

#include <string>
#include <vector>

#include "sim/sim_options.h"

struct SimCommandLine {
    int count = 1;             // receivers to run
    int firstIndex = 0;        // index of the first receiver's demo place
    std::string replayFile;    // play this recording instead of simulating
    bool fast = false;
    bool loop = false;
    bool help = false;
    int replayBaud = 9600;
    double replaySpeed = 1.0;  // --speed with --replay: 10 plays ten times as fast
    double waitSeconds = -1;   // --wait: start a replay after this long even if nobody opened the line
    std::vector<SimOptions> receivers; // one per receiver when simulating
};

// Fills the result or returns false with an error text.
bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine* out, std::string* error);
// The help: SimUsage, then the line options (ListenUsage), then SimUsageEnd.
const char* SimUsage();
const char* SimUsageEnd();
