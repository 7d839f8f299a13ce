#include "sim/virtual_line.h"

#include <algorithm>

#include "sim/line_runner.h"

namespace {

// The pacer grants at most 50 ms of credit at once: steps no longer than
// that keep the whole bit rate available.
constexpr double kStepSeconds = 0.05;

} // namespace

void VirtualLine::Run(double seconds, int monitorBaud, std::vector<uint8_t>& out)
{
    while (seconds > 1e-9) {
        const double step = std::min(seconds, kStepSeconds);
        Step(step, monitorBaud, out);
        seconds -= step;
    }
}

void VirtualLine::Step(double seconds, int monitorBaud, std::vector<uint8_t>& out)
{
    source_.Advance(seconds);
    const std::vector<uint8_t> sent = source_.TakeOutput();
    pending_.insert(pending_.end(), sent.begin(), sent.end());
    pacer_.SetBaud(source_.LineBaud());
    const size_t n = std::min(pacer_.Allowance(seconds), pending_.size());
    const int sourceBaud = source_.LineBaud();
    const bool garbled = monitorBaud > 0 && sourceBaud > 0 && monitorBaud != sourceBaud;
    for (size_t i = 0; i < n; ++i)
        out.push_back(garbled ? GarbledByte(pending_[i]) : pending_[i]);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
    pacer_.Spent(n);
}
