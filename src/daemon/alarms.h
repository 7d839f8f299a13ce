// The alarms of one port. A condition must hold for raise_after seconds
// before its alarm is raised and be gone for clear_after seconds before the
// alarm clears, so a condition that comes and goes raises it once. Time is
// given by the caller (seconds on any steady clock), which makes the delays
// testable without waiting.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "daemon/daemon_config.h"

struct ReceiverSnapshot;

enum class AlarmKind { PortLost, NoPackets, NoFix, FewSatellites, HighPdop, RecordingFailed };
inline constexpr int kAlarmKinds = 6;

// The name in the metrics' alarm label and in the journal lines.
const char* AlarmName(AlarmKind kind);

struct AlarmState {
    bool active = false;
    uint64_t transitions = 0; // raises and clears so far
};

struct AlarmTransition {
    AlarmKind kind;
    bool raised; // false: cleared
};

// Which conditions hold now, from one snapshot. recording_failed is not judged from
// the snapshot: the recorder reports it.
std::array<bool, kAlarmKinds> AlarmConditions(const ReceiverSnapshot& s, const AlarmSettings& settings);

class PortAlarms {
public:
    explicit PortAlarms(const AlarmSettings& settings) : settings_(settings) {}

    // Feeds the conditions that hold at nowS; returns the alarms raised and cleared.
    std::vector<AlarmTransition> Update(double nowS, const std::array<bool, kAlarmKinds>& conditions);
    // An alarm with no hysteresis: raised and cleared as the caller says (a recording that cannot be written).
    std::optional<AlarmTransition> Set(AlarmKind kind, bool active);

    const std::array<AlarmState, kAlarmKinds>& States() const { return states_; }

private:
    AlarmSettings settings_;
    std::array<AlarmState, kAlarmKinds> states_{};
    // Since when the condition has held (or been absent, for an active alarm).
    std::array<std::optional<double>, kAlarmKinds> since_{};
};

// The journal line of a transition: "<4>COM3 (/dev/ttyUSB0): alarm no_fix raised"
// (warning) or "<5>... cleared" (notice), for systemd's journal on stderr.
std::string AlarmJournalLine(const std::string& port, const std::string& device, const AlarmTransition& t,
                             const std::string& detail);
