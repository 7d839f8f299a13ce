// What sits at the far end of a simulated serial line: it takes the bytes
// the monitor writes, moves with time, and hands back bytes for the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class LineSource {
public:
    virtual ~LineSource() = default;
    virtual void Receive(const uint8_t* bytes, size_t count) = 0;
    virtual void Advance(double seconds) = 0;
    virtual std::vector<uint8_t> TakeOutput() = 0;
    // Bit rate of the source's side of the line; 0 means unpaced.
    virtual int LineBaud() const = 0;
};
