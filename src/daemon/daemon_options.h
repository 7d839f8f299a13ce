// jx_monitord's command line: --config FILE, --demo, --help, --version, and
// the port arguments jx_monitor takes (--comN=PATH, bare /dev paths, tcp://
// and rfc2217:// URLs).
#pragma once

#include <string>
#include <vector>

struct DaemonOptions {
    std::string configFile;      // empty: the default file, if it is there
    bool help = false;
    bool version = false;
    bool demo = false;           // three simulated receivers on pseudo-terminals
    double quitAfterS = -1;      // for tests and benchmarks; < 0 runs until SIGTERM
};

// Takes our options out of args, maps the port arguments, and refuses
// anything else. False and error filled on a bad argument.
bool ParseDaemonOptions(std::vector<std::string> args, DaemonOptions& options, std::string* error);

const char* DaemonUsage();
