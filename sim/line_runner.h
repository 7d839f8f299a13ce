// Runs line sources on pseudo-terminals in real time until asked to stop:
// input from the monitor goes to the source, the source's output leaves at
// the line's bit rate. A monitor set to another bit rate than the source
// hears garbage and is not understood, as on a real line.
#pragma once

#include <atomic>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_end.h"
#include "sim/line_source.h"

class LineRunner {
public:
    LineRunner();
    ~LineRunner();

    // Opens a pseudo-terminal for the source. False (error filled) on failure.
    bool Add(std::unique_ptr<LineSource> source, std::string* error);
    // Serves the source on a TCP port instead (host "" for every address, port 0 for any).
    bool AddListening(std::unique_ptr<LineSource> source, const std::string& host, uint16_t port, std::string* error);
    // What the monitor opens for each line: device paths, or tcp:// URLs.
    std::vector<std::string> DevicePaths() const;
    // Runs until *stop becomes nonzero.
    void Run(const volatile std::sig_atomic_t* stop);
    // One round: waits up to timeoutMs for input, then serves every line.
    void Poll(int timeoutMs);

private:
    struct Line;
    void AddLine(std::unique_ptr<LineSource> source, std::unique_ptr<LineEnd> end);
    void Step(Line& line, double elapsed);
    std::vector<std::unique_ptr<Line>> lines_;
    double lastPoll_ = -1;
};

// What a byte sent at one bit rate looks like to a receiver set to another.
uint8_t GarbledByte(uint8_t b);
