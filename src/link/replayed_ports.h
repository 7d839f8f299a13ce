// A replayed recording is a port like any other, but nothing is sent to it,
// and data logging (and the history store) take it only when the user asks:
// its values are old.
#pragma once

#include "link/port_table.h"

extern bool LogReplayedPorts;
// The slot's COM number is mapped to a replayed recording.
bool IsReplayedPort(const PortRecord& port);
// Monitored, and not a replay the user keeps out of the logs.
bool LoggedPort(const PortRecord& port);
