#include "daemon/alarms.h"

#include "daemon/receiver_snapshot.h"

namespace {

size_t Index(AlarmKind kind) { return static_cast<size_t>(kind); }

} // namespace

const char* AlarmName(AlarmKind kind)
{
    static const char* const kNames[kAlarmKinds] = {"port_lost",      "no_packets", "no_fix",
                                                    "few_satellites", "high_pdop",  "recording_failed"};
    return kNames[Index(kind)];
}

std::array<bool, kAlarmKinds> AlarmConditions(const ReceiverSnapshot& s, const AlarmSettings& settings)
{
    std::array<bool, kAlarmKinds> holds{};
    const bool quiet = s.quietS >= settings.noPacketAfterS;
    // A silent or lost receiver has no current fix, whatever its last report said.
    const bool fresh = s.open && !quiet;
    holds[Index(AlarmKind::PortLost)] = !s.open;
    holds[Index(AlarmKind::NoPackets)] = s.open && quiet;
    holds[Index(AlarmKind::NoFix)] = !fresh || !s.fixDimension || *s.fixDimension < 2;
    holds[Index(AlarmKind::FewSatellites)] = fresh && s.satellitesUsed && *s.satellitesUsed < settings.minSatellites;
    holds[Index(AlarmKind::HighPdop)] =
        fresh && s.fixDimension && *s.fixDimension >= 2 && s.pdop && *s.pdop > settings.maxPdop;
    return holds;
}

std::vector<AlarmTransition> PortAlarms::Update(double nowS, const std::array<bool, kAlarmKinds>& conditions)
{
    std::vector<AlarmTransition> changes;
    for (size_t i = 0; i < static_cast<size_t>(kAlarmKinds); ++i) {
        const AlarmKind kind = static_cast<AlarmKind>(i);
        if (kind == AlarmKind::RecordingFailed)
            continue;
        AlarmState& state = states_[i];
        // The timer runs while the condition disagrees with the alarm.
        if (conditions[i] == state.active) {
            since_[i].reset();
            continue;
        }
        if (!since_[i])
            since_[i] = nowS;
        const double delay = state.active ? settings_.clearAfterS : settings_.raiseAfterS;
        if (nowS - *since_[i] < delay)
            continue;
        state.active = conditions[i];
        ++state.transitions;
        since_[i].reset();
        changes.push_back({kind, state.active});
    }
    return changes;
}

std::optional<AlarmTransition> PortAlarms::Set(AlarmKind kind, bool active)
{
    AlarmState& state = states_[Index(kind)];
    if (state.active == active)
        return std::nullopt;
    state.active = active;
    ++state.transitions;
    return AlarmTransition{kind, active};
}

std::string AlarmJournalLine(const std::string& port, const std::string& device, const AlarmTransition& t,
                             const std::string& detail)
{
    std::string line = t.raised ? "<4>" : "<5>";
    line += port + " (" + device + "): alarm " + AlarmName(t.kind) + (t.raised ? " raised" : " cleared");
    if (!detail.empty())
        line += ": " + detail;
    return line;
}
