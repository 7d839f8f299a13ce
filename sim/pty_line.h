// One pseudo-terminal that plays a receiver's serial line: the simulator
// holds the master side; the monitor opens the device path of the other side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/line_end.h"

class PtyLine : public LineEnd {
public:
    PtyLine() = default;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;
    ~PtyLine() override;

    // Creates the pair, raw, at 9600 bit/s. False (and error filled) when it cannot.
    bool Open(std::string* error);
    const std::string& DevicePath() const { return path_; }

    std::string Name() const override { return path_; }
    long Read(uint8_t* buffer, size_t maxBytes) override;
    long Write(const uint8_t* bytes, size_t count) override;
    int PeerBaud() const override;
    void AddPollFds(std::vector<pollfd>& fds) const override { fds.push_back({master_, POLLIN, 0}); }

private:
    int master_ = -1;
    int slave_ = -1; // kept open so the line survives the monitor closing it
    std::string path_;
};
