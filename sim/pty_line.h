// One pseudo-terminal that plays a receiver's serial line: the simulator
// holds the master side; the monitor opens the device path of the other side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PtyLine {
public:
    PtyLine() = default;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;
    ~PtyLine();

    // Creates the pair, raw, at 9600 bit/s. False (and error filled) when it cannot.
    bool Open(std::string* error);
    const std::string& DevicePath() const { return path_; }

    // Never block: the count moved, 0 when nothing could be, -1 on failure.
    long Read(uint8_t* buffer, size_t maxBytes);
    long Write(const uint8_t* bytes, size_t count);
    // The bit rate the far side last set on its device, 0 when unknown.
    int PeerBaud() const;

    // Waits until one of the lines has input or the time is up.
    static void WaitForInput(const std::vector<PtyLine*>& lines, int timeoutMs);

private:
    int master_ = -1;
    int slave_ = -1; // kept open so the line survives the monitor closing it
    std::string path_;
};
