// A line source on a serial line in virtual time, without a device: time is
// advanced in short steps, and the source's bytes reach the far end no faster
// than the line's bit rate carries them. Used where the monitor's port is an
// in-memory device (tests, the long-run harness).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "sim/line_pacer.h"
#include "sim/line_source.h"

class VirtualLine {
public:
    explicit VirtualLine(LineSource& source) : source_(source) {}

    // Bytes the monitor wrote.
    void Receive(const uint8_t* bytes, size_t count) { source_.Receive(bytes, count); }
    // Advances virtual time by seconds and appends to out the bytes that
    // arrived at the monitor's end meanwhile. monitorBaud is the monitor's
    // side of the line (0: unknown); a different rate from the source's turns
    // every byte into garbage, as on a real line.
    void Run(double seconds, int monitorBaud, std::vector<uint8_t>& out);
    // Bytes sent by the source that have not left yet.
    size_t Backlog() const { return pending_.size(); }

private:
    void Step(double seconds, int monitorBaud, std::vector<uint8_t>& out);

    LineSource& source_;
    LinePacer pacer_;
    std::deque<uint8_t> pending_;
};
