// Once a second, the state of every port in use goes to its receiver's
// history: the last values of that second from the port's reports and the
// port's state. Qt-free, so any face of the monitor can drive it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/port_table.h"
#include "model/history_store.h"

struct PortReportRecord;

// The sample of one port at a second; a quiet or lost port's holds only its
// state, not the values it reported before. lastFixTime: the time of fix already
// taken (updated); the clock bias and fix time are taken only from a new
// position report, never repeated from an old one.
HistorySample SampleOfPort(const PortRecord& port, const PortReportRecord& reports, int64_t unixSecond,
                           float* lastFixTime);

class HistoryFeed {
public:
    explicit HistoryFeed(std::string root, int keepDays = 7);
    ~HistoryFeed();

    // Appends a sample for every port that is open or lost; a port replaying a
    // recording only when replayed ports are logged (its values are old).
    void Tick(int64_t unixSecond);
    // Writes out everything queued (at exit).
    void Flush();
    // Messages for the user, each failure once.
    std::vector<std::string> TakeErrors();

private:
    struct Receiver {
        std::string folder;
        std::unique_ptr<HistoryWriter> writer;
        float lastFixTime = -1;
    };
    Receiver& ReceiverOf(int slot);

    std::string root_;
    int keepDays_;
    int64_t lastPrune_ = 0;
    std::array<Receiver, kPortSlots> receivers_;
};
