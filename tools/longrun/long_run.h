// The long run: 16 simulated receivers on the monitor's ports, every port
// monitored, data logging and raw recording on, driven tick by tick in
// virtual time; afterwards every log and the recording are read back.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "link/port_table.h"
#include "log_check.h"

class SimulatedPort;

struct RssSample {
    double virtualHours = 0;
    double wallSeconds = 0;
    int64_t residentBytes = -1;
};

struct RecordingCheck {
    uint64_t fileBytes = 0;
    uint64_t framesInFile = 0;
    uint64_t bytesOutsideFrames = 0;
    uint64_t framesHanded = 0; // packets the dispatch gave the recorder
    uint64_t bytesHanded = 0;  // their frames' size on the line
};

class LongRun {
public:
    // dir holds the data logs ("data%d.dat") and the recording ("run.zlk").
    explicit LongRun(std::string dir);
    ~LongRun();

    // Opens the windows on the simulated ports; false when that failed.
    bool Start(std::ostream& err);
    // Brings every receiver and port from 9600 to 38400 bit/s through the
    // monitor's serial settings command, with Tx-All lit; leaves Tx-All as
    // keepTxAll says.
    bool SwitchTo38400(bool keepTxAll, std::ostream& err);
    void StartLoggers();
    // Runs virtual time; sample is called at every whole virtual hour.
    void Run(double seconds, const std::function<void(double hours)>& sample);
    void StopLoggers();

    // The port's receiver clock (GPS seconds) when logging started and stopped.
    double LogStartSecond(size_t slot) const { return logStart_[slot]; }
    double LogStopSecond(size_t slot) const { return logStop_[slot]; }
    std::array<LogCheck, kPortSlots> CheckLogs() const;
    RecordingCheck CheckRecording() const;
    uint64_t LineBytes() const;
    uint64_t UnexpectedBoxes() const;
    size_t LargestBacklog() const;

private:
    void RunSecond();

    std::string dir_;
    std::array<SimulatedPort*, kPortSlots> ports_{}; // owned by the port table
    std::array<double, kPortSlots> logStart_{};
    std::array<double, kPortSlots> logStop_{};
};
