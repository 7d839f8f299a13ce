// The simulator's end of one line: a pseudo-terminal's master side, or a TCP
// port the monitor (or a dump) connects to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <poll.h>

class LineEnd {
public:
    virtual ~LineEnd() = default;
    // What the far side opens: a device path or a tcp:// URL.
    virtual std::string Name() const = 0;
    // Never block: the count moved, 0 when nothing could be, -1 on failure.
    virtual long Read(uint8_t* buffer, size_t maxBytes) = 0;
    virtual long Write(const uint8_t* bytes, size_t count) = 0;
    // The bit rate the far side last set on its device, 0 when unknown.
    virtual int PeerBaud() const = 0;
    // The descriptors whose input wakes the runner.
    virtual void AddPollFds(std::vector<pollfd>& fds) const = 0;
};
