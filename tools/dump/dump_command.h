// zelk_dump's command line: which input, which output form.
#pragma once

#include <csignal>
#include <iosfwd>
#include <string>
#include <vector>

// Runs the decoder over a file, standard input ("-" or no argument) or a
// live serial device (read until *stop is set or the device goes away).
// Returns the process exit code.
int RunDumpCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const volatile std::sig_atomic_t* stop);
