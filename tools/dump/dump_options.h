// zelk_dump's command line, parsed apart from running it.
#pragma once

#include <string>
#include <vector>

#include "platform/serial_device.h"

// Stability: the clock stability table of the position reports (StabilityCsv with --csv).
enum class DumpOutput { Text, Json, Csv, Gpx, Kml, Stability, StabilityCsv };

struct DumpOptions {
    DumpOutput output = DumpOutput::Text;
    bool hex = false;
    bool times = false; // each packet's received time from the recording's index
    std::vector<std::string> inputs; // in order, read as one stream; empty: standard input
    LineSettings line;               // for live ports (9600 8-O-1 unless given)
};

enum class DumpAction { Run, Help, Version, Error };

// Fills options from the arguments (without the program name). On Error,
// error holds a one-line message naming the argument at fault.
DumpAction ParseDumpOptions(const std::vector<std::string>& args, DumpOptions* options, std::string* error);

// The --help text: usage and one short paragraph per option.
const char* DumpUsage();
// "zelk_dump VERSION".
std::string DumpVersion();
