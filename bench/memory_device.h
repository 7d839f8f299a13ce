// A serial device that serves a byte buffer from memory and swallows writes,
// so benchmarks time the program's work and not the kernel's.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/serial_device.h"

class MemoryDevice : public SerialDevice {
public:
    explicit MemoryDevice(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    int QueuedInputBytes() override { return static_cast<int>(bytes_.size() - at_); }
    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        const size_t n = std::min(maxBytes, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }
    long Write(const uint8_t*, size_t count) override { return static_cast<long>(count); }
    bool SetLineSettings(const LineSettings&) override { return true; }
    bool GetLineSettings(LineSettings&) override { return true; }
    bool Purge() override { return true; }
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }
    void Rewind() { at_ = 0; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};
