// The built zelk_dump run as a child process, for tests of what only a
// real process shows: exit codes, signals, FIFOs, standard input.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

struct DumpProcess {
    pid_t pid = -1;
    std::string outPath, errPath; // its standard output and error
};

// Starts zelk_dump with args; stdinFd becomes its standard input (-1: /dev/null).
DumpProcess StartDump(const std::vector<std::string>& args, const std::string& dir, int stdinFd = -1);
// Waits for the process to end; returns its exit code, or 128 + the signal that ended it.
int WaitDump(const DumpProcess& p);
