// A receiver's history on disk: one folder per receiver, one file per UTC day
// of fixed-size records, written by appending. A torn last record (a crash or
// power cut mid-write) is ignored when read and cut off before the next append;
// a failed write (full disk) is said once and the samples wait in memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/history_record.h"

// $XDG_DATA_HOME/JX_Monitor/history (or ~/.local/share/JX_Monitor/history).
std::string HistoryRoot();
// A receiver's folder name: its COM number and device, e.g. "COM3_ttyUSB0".
std::string HistoryFolderName(int comNumber, const std::string& device);
// The receivers' folders under root, sorted.
std::vector<std::string> HistoryFolders(const std::string& root);

class HistoryWriter {
public:
    // folder: the receiver's folder (made when first needed); keepDays: days of files kept.
    explicit HistoryWriter(std::string folder, int keepDays = 7);
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Queues one sample; writes the queue out when a day ends or every
    // flushSeconds of sample time.
    void Append(const HistorySample& sample);
    // Writes out what is queued. False when it failed (it is kept for the next try).
    bool Flush();
    // A message for the user once per failure spell (after a success it may come again).
    std::optional<std::string> TakeError();
    size_t Pending() const { return pending_.size(); }
    // Removes day files older than keepDays before the day of nowUnix.
    void Prune(int64_t nowUnix);

    static constexpr int64_t kFlushSeconds = 30;
    static constexpr size_t kMaxPending = 3600; // an hour waits for a full disk; older is dropped

private:
    bool OpenDay(int64_t dayStart);
    bool WritePending();
    void Fail(const std::string& what);

    std::string folder_;
    int keepDays_;
    int fd_ = -1;
    int64_t dayStart_ = -1;
    int64_t goodSize_ = 0; // bytes of the open file known to be whole records
    int64_t lastFlush_ = 0;
    std::vector<HistorySample> pending_;
    bool failing_ = false;
    std::optional<std::string> error_;
};

// The day file of a folder holding dayStart.
std::string HistoryDayPath(const std::string& folder, int64_t dayStart);

// Every sound record of a folder between two times (inclusive), oldest day
// first, decoded into one sample handed to `visit` and then reused: nothing is
// kept. Day files are read in large blocks; records that are not whole or not
// sound are skipped. Stops early (returning false) once *cancelled is set.
bool ForEachHistorySample(const std::string& folder, int64_t fromUnix, int64_t toUnix,
                          const std::function<void(const HistorySample&)>& visit,
                          const std::atomic<bool>* cancelled = nullptr);

// Samples of a folder between two times (inclusive), oldest first.
std::vector<HistorySample> ReadHistory(const std::string& folder, int64_t fromUnix, int64_t toUnix);

// The clock bias of a folder between two times as phase placed by fix time
// (PhaseSamplesOf), read without keeping the samples. Empty once cancelled.
std::vector<PhaseSample> ReadPhaseSamples(const std::string& folder, int64_t fromUnix, int64_t toUnix,
                                          const std::atomic<bool>* cancelled = nullptr);

// The last sample at or before a second (within `within` seconds), found by a
// binary search of its day file's records, which are in the order written; a
// handful of reads, cheap enough for a cursor that follows the mouse.
std::optional<HistorySample> ReadSampleAt(const std::string& folder, int64_t unixSecond, int64_t within = 2);
