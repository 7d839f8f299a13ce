// zelk_dump's command line: which inputs, which output form.
#pragma once

#include <csignal>
#include <iosfwd>
#include <string>
#include <vector>

// Runs the decoder over files, standard input ("-" or no input) or a live
// serial device (read until *stop is set or the device goes away).
// stdinFd: standard input as a descriptor, or -1 to read the stream in.
// wakeFd: becomes readable when *stop is set (a self-pipe), or -1.
// Returns the process exit code.
int RunDumpCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const volatile std::sig_atomic_t* stop, int stdinFd = -1, int wakeFd = -1);
