#include "model/replay/replay_player.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/clock.h"
#include "platform/device_openers.h"

namespace {

// As fast as possible, a recording runs ahead by this many bytes per read at
// most, and only while the others have caught up, so they stay in step.
constexpr uint64_t kRunAheadBytes = 4096;
// How far a step looks for the next fix report, in parts.
constexpr uint64_t kFixSearchLimit = 100000;
constexpr uint64_t kNone = UINT64_MAX;

uint64_t DueAt(ReplaySession& s, uint64_t part)
{
    return part < s.timeline.Count() ? s.timeline.Begin(part) : s.timeline.Size();
}

} // namespace

ReplayPlayer::ReplayPlayer(SteadyClock steady) : steady_(steady ? std::move(steady) : SteadyClock(&ReadSteadyNanoseconds))
{
    anchorSteady_ = steady_();
}

bool ReplayPlayer::Add(const std::string& path, std::string* error)
{
    auto session = std::make_unique<ReplaySession>();
    session->path = path;
    if (!session->timeline.Open(path, error))
        return false;
    const int64_t first = session->timeline.FirstTime();
    const int64_t last = session->timeline.LastTime();
    start_ = sessions_.empty() ? first : std::min(start_, first);
    end_ = sessions_.empty() ? last : std::max(end_, last);
    sessions_.push_back(std::move(session));
    Seek(start_);
    return true;
}

int ReplayPlayer::Find(const std::string& path) const
{
    for (size_t i = 0; i < sessions_.size(); ++i)
        if (sessions_[i]->path == path)
            return static_cast<int>(i);
    return -1;
}

int64_t ReplayPlayer::Now() const
{
    if (!playing_ || speed_ == kAsFastAsPossible)
        return anchorUtc_;
    const double elapsed = static_cast<double>(steady_() - anchorSteady_) * speed_;
    const double now = static_cast<double>(anchorUtc_) + elapsed;
    return now >= static_cast<double>(end_) ? end_ : static_cast<int64_t>(now);
}

void ReplayPlayer::SetClock(int64_t utcNs)
{
    anchorUtc_ = utcNs;
    anchorSteady_ = steady_();
}

void ReplayPlayer::Play()
{
    if (Finished())
        Seek(start_);
    SetClock(Now());
    playing_ = true;
}

void ReplayPlayer::Pause()
{
    SetClock(Now());
    playing_ = false;
}

void ReplayPlayer::SetSpeed(double speed)
{
    SetClock(Now());
    speed_ = speed > 0 && std::isfinite(speed) ? speed : kAsFastAsPossible;
}

bool ReplayPlayer::Finished() const
{
    if (Now() < end_)
        return false;
    return std::all_of(sessions_.begin(), sessions_.end(), [](const auto& s) {
        return !s->held || (s->next >= s->timeline.Count() && s->sent >= s->timeline.Size());
    });
}

void ReplayPlayer::Seek(int64_t utcNs)
{
    utcNs = std::clamp(utcNs, start_, end_);
    for (auto& s : sessions_) {
        s->next = s->timeline.FirstAtOrAfter(utcNs);
        s->due = s->sent = DueAt(*s, s->next);
    }
    SetClock(utcNs);
}

void ReplayPlayer::CatchUp(ReplaySession& s, int64_t now)
{
    const uint64_t count = s.timeline.Count();
    if (s.next < count && s.timeline.TimeOf(s.next) <= now) {
        // Far behind (a jump of the clock): find the place, do not walk to it.
        if (s.next + 64 < count && s.timeline.TimeOf(s.next + 64) <= now)
            s.next = s.timeline.FirstAfter(now);
        while (s.next < count && s.timeline.TimeOf(s.next) <= now)
            ++s.next;
    }
    s.due = std::max(s.sent, DueAt(s, s.next));
}

void ReplayPlayer::RunAhead(size_t i)
{
    ReplaySession& s = *sessions_[i];
    if (s.due - s.sent >= kRunAheadBytes)
        return;
    for (size_t j = 0; j < sessions_.size(); ++j) {
        ReplaySession& other = *sessions_[j];
        if (j == i || !other.held)
            continue;
        CatchUp(other, anchorUtc_);
        if (other.due - other.sent >= kRunAheadBytes)
            return; // let it catch up first
    }
    while (s.due - s.sent < kRunAheadBytes && s.next < s.timeline.Count()) {
        SetClock(s.timeline.TimeOf(s.next));
        CatchUp(s, anchorUtc_);
    }
}

size_t ReplayPlayer::Available(size_t i)
{
    ReplaySession& s = *sessions_[i];
    CatchUp(s, Now());
    if (playing_ && speed_ == kAsFastAsPossible)
        RunAhead(i);
    return static_cast<size_t>(s.due - s.sent);
}

long ReplayPlayer::Read(size_t i, uint8_t* buffer, size_t maxBytes)
{
    const size_t wanted = std::min(Available(i), maxBytes);
    ReplaySession& s = *sessions_[i];
    const size_t got = wanted ? s.timeline.ReadBytes(s.sent, buffer, wanted) : 0;
    s.sent += got;
    return static_cast<long>(got);
}

uint64_t ReplayPlayer::NextFix(ReplaySession& s, uint64_t from)
{
    const uint64_t count = s.timeline.Count();
    for (uint64_t i = from; i < count && i - from < kFixSearchLimit; ++i)
        if (s.timeline.StartsFix(i))
            return i;
    return kNone;
}

uint64_t ReplayPlayer::PreviousFix(ReplaySession& s, uint64_t before)
{
    for (uint64_t i = before; i-- > 0 && before - i <= kFixSearchLimit;)
        if (s.timeline.StartsFix(i))
            return i;
    return kNone;
}

bool ReplayPlayer::StepForward()
{
    Pause();
    if (sessions_.empty())
        return false;
    ReplaySession& lead = *sessions_.front();
    CatchUp(lead, anchorUtc_);
    const uint64_t fix = NextFix(lead, lead.next);
    if (fix == kNone)
        return false;
    // Up to the following fix report, so the whole fix arrives: its report and what follows it.
    const uint64_t following = NextFix(lead, fix + 1);
    const int64_t at = lead.timeline.TimeOf(fix);
    SetClock(following == kNone ? end_ : std::max(at, lead.timeline.TimeOf(following) - 1));
    return true;
}

bool ReplayPlayer::StepBack()
{
    Pause();
    if (sessions_.empty())
        return false;
    ReplaySession& lead = *sessions_.front();
    CatchUp(lead, anchorUtc_);
    const uint64_t last = PreviousFix(lead, lead.next);
    if (last == kNone)
        return false;
    const int64_t lastAt = lead.timeline.TimeOf(last);
    const uint64_t before = PreviousFix(lead, last);
    if (before == kNone) {
        // Back to before the first fix.
        Seek(lastAt);
        SetClock(lastAt - 1);
        return true;
    }
    const int64_t beforeAt = lead.timeline.TimeOf(before);
    Seek(beforeAt);
    SetClock(std::max(beforeAt, lastAt - 1));
    return true;
}

// ---- the device ----

namespace {

class ReplayDevice : public SerialDevice {
public:
    ReplayDevice(std::shared_ptr<ReplayPlayer> player, size_t session) : player_(std::move(player)), session_(session)
    {
        player_->Session(session_).held = true;
    }
    ~ReplayDevice() override { player_->Session(session_).held = false; }

    int QueuedInputBytes() override
    {
        return static_cast<int>(std::min<size_t>(player_->Available(session_), INT_MAX));
    }
    long Read(uint8_t* buffer, size_t maxBytes) override { return player_->Read(session_, buffer, maxBytes); }
    // A recording cannot be commanded: refused, and counted for the user.
    long Write(const uint8_t*, size_t) override
    {
        ++player_->Session(session_).refusedWrites;
        return -1;
    }
    bool SetLineSettings(const LineSettings& settings) override
    {
        settings_ = settings;
        return true;
    }
    bool GetLineSettings(LineSettings& settings) override
    {
        settings = settings_;
        return true;
    }
    // The recording is the line: nothing waits in a queue to be dropped.
    bool Purge() override { return true; }
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }

private:
    std::shared_ptr<ReplayPlayer> player_;
    size_t session_;
    LineSettings settings_;
};

std::shared_ptr<ReplayPlayer>& Installed()
{
    static std::shared_ptr<ReplayPlayer> player;
    return player;
}

std::unique_ptr<SerialDevice> OpenReplayDevice(const std::string& path, OpenError& error)
{
    const std::string file = path.substr(std::string(kReplayPathPrefix).size());
    const std::shared_ptr<ReplayPlayer>& player = Installed();
    const int session = player ? player->Find(file) : -1;
    if (session < 0) {
        error = {OpenFailure::Missing, "The recording is not open in the player"};
        return nullptr;
    }
    if (player->Session(static_cast<size_t>(session)).held) {
        error = {OpenFailure::Busy, "The recording is already played on a port"};
        return nullptr;
    }
    return MakeReplayDevice(player, static_cast<size_t>(session));
}

} // namespace

std::unique_ptr<SerialDevice> MakeReplayDevice(std::shared_ptr<ReplayPlayer> player, size_t session)
{
    return std::make_unique<ReplayDevice>(std::move(player), session);
}

void InstallReplayPlayer(std::shared_ptr<ReplayPlayer> player)
{
    Installed() = std::move(player);
    SetDeviceOpener(kReplayPathPrefix, Installed() ? &OpenReplayDevice : nullptr);
}

std::shared_ptr<ReplayPlayer> InstalledReplayPlayer() { return Installed(); }

std::string ReplayDevicePath(const std::string& recordingPath) { return kReplayPathPrefix + recordingPath; }
