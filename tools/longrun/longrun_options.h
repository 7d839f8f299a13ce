// The long-run harness's command line.
#pragma once

#include <string>
#include <vector>

struct LongRunOptions {
    double hours = 24;    // virtual time logged, after the warm-up
    std::string dir;      // where the logs and the recording go; empty: a new temporary directory
    bool keep = false;    // keep the files afterwards
    bool txAll = false;   // Tx-All stays lit: the periodic queries go to every receiver
    bool version = false; // print the version and exit
};

// False (error filled) on an unknown option or a bad value; "--help" sets help.
bool ParseLongRunOptions(const std::vector<std::string>& args, LongRunOptions& options, bool& help, std::string* error);

extern const char kLongRunUsage[];
