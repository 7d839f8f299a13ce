// Holding a replay back until the monitor has opened its line, so the first
// fixes are not played to nobody.
#pragma once

#include <csignal>
#include <string>

// Returns once the device at path has been opened by someone and no further
// open followed for half a second (the monitor tries a port, then opens and
// sets it up), or once waitSeconds have passed (negative: no limit). False
// when *stop was set meanwhile.
bool WaitForOpen(const std::string& path, double waitSeconds, const volatile std::sig_atomic_t* stop);
