#include "sim/line_runner.h"

#include <algorithm>
#include <chrono>
#include <deque>

#include "sim/line_pacer.h"
#include "sim/pty_line.h"

struct LineRunner::Line {
    std::unique_ptr<LineSource> source;
    PtyLine pty;
    LinePacer pacer;
    std::deque<uint8_t> pending;
};

namespace {

constexpr size_t kMaxPending = 64 * 1024; // a line nobody reads drops the oldest bytes
constexpr int kTickMs = 10;

bool Mismatched(int peerBaud, int sourceBaud)
{
    return peerBaud > 0 && sourceBaud > 0 && peerBaud != sourceBaud;
}

} // namespace

uint8_t GarbledByte(uint8_t b)
{
    return static_cast<uint8_t>((b * 0x5Bu + 0x2Du) ^ 0xA7u);
}

LineRunner::LineRunner() = default;
LineRunner::~LineRunner() = default;

bool LineRunner::Add(std::unique_ptr<LineSource> source, std::string* error)
{
    auto line = std::make_unique<Line>();
    if (!line->pty.Open(error))
        return false;
    line->source = std::move(source);
    lines_.push_back(std::move(line));
    return true;
}

std::vector<std::string> LineRunner::DevicePaths() const
{
    std::vector<std::string> paths;
    for (const auto& line : lines_)
        paths.push_back(line->pty.DevicePath());
    return paths;
}

void LineRunner::Step(Line& line, double elapsed)
{
    const bool mismatch = Mismatched(line.pty.PeerBaud(), line.source->LineBaud());
    uint8_t in[1024];
    for (long got; (got = line.pty.Read(in, sizeof in)) > 0;)
        if (!mismatch)
            line.source->Receive(in, static_cast<size_t>(got));

    line.source->Advance(elapsed);
    const std::vector<uint8_t> out = line.source->TakeOutput();
    line.pending.insert(line.pending.end(), out.begin(), out.end());
    while (line.pending.size() > kMaxPending)
        line.pending.pop_front();

    line.pacer.SetBaud(line.source->LineBaud());
    const size_t n = std::min(line.pacer.Allowance(elapsed), line.pending.size());
    if (n == 0)
        return;
    std::vector<uint8_t> chunk(line.pending.begin(), line.pending.begin() + static_cast<long>(n));
    if (mismatch)
        std::transform(chunk.begin(), chunk.end(), chunk.begin(), GarbledByte);
    const long put = line.pty.Write(chunk.data(), chunk.size());
    const size_t sent = put > 0 ? static_cast<size_t>(put) : 0;
    line.pacer.Spent(sent);
    line.pending.erase(line.pending.begin(), line.pending.begin() + static_cast<long>(sent));
}

void LineRunner::Poll(int timeoutMs)
{
    std::vector<PtyLine*> ptys;
    for (auto& line : lines_)
        ptys.push_back(&line->pty);
    PtyLine::WaitForInput(ptys, timeoutMs);
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const double elapsed = lastPoll_ < 0 ? 0.0 : now - lastPoll_;
    lastPoll_ = now;
    for (auto& line : lines_)
        Step(*line, elapsed);
}

void LineRunner::Run(const volatile std::sig_atomic_t* stop)
{
    while (!*stop)
        Poll(kTickMs);
}
