#include "sim/line_runner.h"

#include <algorithm>
#include <chrono>
#include <deque>

#include <poll.h>

#include "sim/line_pacer.h"
#include "sim/pty_line.h"
#include "sim/tcp_line.h"

struct LineRunner::Line {
    std::unique_ptr<LineSource> source;
    std::unique_ptr<LineEnd> end;
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

void LineRunner::AddLine(std::unique_ptr<LineSource> source, std::unique_ptr<LineEnd> end)
{
    auto line = std::make_unique<Line>();
    line->source = std::move(source);
    line->end = std::move(end);
    lines_.push_back(std::move(line));
}

bool LineRunner::Add(std::unique_ptr<LineSource> source, std::string* error)
{
    auto pty = std::make_unique<PtyLine>();
    if (!pty->Open(error))
        return false;
    AddLine(std::move(source), std::move(pty));
    return true;
}

bool LineRunner::AddListening(std::unique_ptr<LineSource> source, const std::string& host, uint16_t port,
                              std::string* error)
{
    auto tcp = std::make_unique<TcpLine>();
    if (!tcp->Listen(host, port, error))
        return false;
    AddLine(std::move(source), std::move(tcp));
    return true;
}

std::vector<std::string> LineRunner::DevicePaths() const
{
    std::vector<std::string> paths;
    for (const auto& line : lines_)
        paths.push_back(line->end->Name());
    return paths;
}

void LineRunner::Step(Line& line, double elapsed)
{
    const bool mismatch = Mismatched(line.end->PeerBaud(), line.source->LineBaud());
    uint8_t in[1024];
    for (long got; (got = line.end->Read(in, sizeof in)) > 0;)
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
    const long put = line.end->Write(chunk.data(), chunk.size());
    const size_t sent = put > 0 ? static_cast<size_t>(put) : 0;
    line.pacer.Spent(sent);
    line.pending.erase(line.pending.begin(), line.pending.begin() + static_cast<long>(sent));
}

void LineRunner::Poll(int timeoutMs)
{
    std::vector<pollfd> fds;
    for (const auto& line : lines_)
        line->end->AddPollFds(fds);
    poll(fds.data(), fds.size(), timeoutMs);
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
