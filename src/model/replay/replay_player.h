// The player: one clock for every recording opened together, so several
// ports play in step by their recorded times. Each recording is handed out
// through a ReplayDevice as the port's bytes, as they fall due.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/replay/recording_timeline.h"

// Speed value for "as fast as the monitor takes the bytes".
constexpr double kAsFastAsPossible = 0;

struct ReplaySession {
    std::string path;
    RecordingTimeline timeline;
    uint64_t next = 0;  // first part not yet due
    uint64_t due = 0;   // bytes due so far (an offset in the recording)
    uint64_t sent = 0;  // bytes handed to the port so far
    bool held = false;  // a port has it open
    uint64_t refusedWrites = 0;
};

class ReplayPlayer {
public:
    using SteadyClock = std::function<int64_t()>;
    // The clock counts nanoseconds and is never stepped; tests give a virtual one.
    explicit ReplayPlayer(SteadyClock steady = {});

    // Adds a recording, paused at its start. False and error filled when it
    // cannot be read.
    bool Add(const std::string& path, std::string* error);
    size_t Count() const { return sessions_.size(); }
    ReplaySession& Session(size_t i) { return *sessions_[i]; }
    // The session of a file path, or -1.
    int Find(const std::string& path) const;

    void Play();
    void Pause();
    bool Playing() const { return playing_; }
    // x0.1 .. x100, or kAsFastAsPossible.
    void SetSpeed(double speed);
    double Speed() const { return speed_; }

    // The recorded time being played (UTC nanoseconds), within Start()..End().
    int64_t Now() const;
    int64_t Start() const { return start_; }
    int64_t End() const { return end_; }
    // Every recording handed out to its end.
    bool Finished() const;

    // Goes to a recorded time: each recording continues with its first part
    // received at or after it. Playing or paused stays as it was.
    void Seek(int64_t utcNs);
    // Pauses and plays one fix of the first recording (the others follow in
    // time); false at the end.
    bool StepForward();
    // Pauses and plays again the fix before the last one played; false at the start.
    bool StepBack();

    // The device side: bytes due on session i, and reading them.
    size_t Available(size_t i);
    long Read(size_t i, uint8_t* buffer, size_t maxBytes);

private:
    void SetClock(int64_t utcNs);
    void CatchUp(ReplaySession& s, int64_t now);
    void RunAhead(size_t i);
    uint64_t NextFix(ReplaySession& s, uint64_t from);
    uint64_t PreviousFix(ReplaySession& s, uint64_t before);

    SteadyClock steady_;
    std::vector<std::unique_ptr<ReplaySession>> sessions_;
    bool playing_ = false;
    double speed_ = 1.0;
    int64_t anchorUtc_ = 0;    // recorded time at the anchor
    int64_t anchorSteady_ = 0; // steady time at the anchor
    int64_t start_ = 0;
    int64_t end_ = 0;
};

// The port side of a session: what the port table holds as its device.
std::unique_ptr<class SerialDevice> MakeReplayDevice(std::shared_ptr<ReplayPlayer> player, size_t session);

// The player whose recordings the "replay:" device paths open; installing
// one (or null) replaces the one before.
void InstallReplayPlayer(std::shared_ptr<ReplayPlayer> player);
std::shared_ptr<ReplayPlayer> InstalledReplayPlayer();
// "replay:" and the recording's path.
std::string ReplayDevicePath(const std::string& recordingPath);
