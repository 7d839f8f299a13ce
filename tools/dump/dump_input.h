// Reading zelk_dump's inputs (files, FIFOs, standard input, live ports)
// into the decoder, so that a stop request ends any of them at once.
#pragma once

#include <csignal>
#include <iosfwd>
#include <string>

#include "platform/serial_device.h"

class Dumper;

struct DumpStop {
    const volatile std::sig_atomic_t* flag = nullptr; // set by the signal handler
    int wakeFd = -1; // readable once flag is set (a self-pipe), or -1: the flag is polled
};

// Reads one input to its end, to a stop request, or until a live port goes
// away. "-" is stdinFd when it is not -1, else the stream in. False after
// telling err why the input could not be opened or read.
bool FeedInput(const std::string& source, const LineSettings& line, std::istream& in, int stdinFd, Dumper& dumper,
               std::ostream& err, const DumpStop& stop);
