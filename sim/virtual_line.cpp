#include "sim/virtual_line.h"

#include <algorithm>
#include <cmath>

#include "sim/line_runner.h"

namespace {

// The pacer keeps at most 50 ms of credit; steps of half that never reach
// the cap, so the fraction of a byte left over from one step is not lost.
constexpr double kStepSeconds = 0.025;

} // namespace

void VirtualLine::Run(double seconds, int monitorBaud, std::vector<uint8_t>& out)
{
    if (seconds <= 0)
        return;
    const auto steps = static_cast<int>(std::ceil(seconds / kStepSeconds - 1e-9));
    for (int i = 0; i < steps; ++i)
        Step(seconds / steps, monitorBaud, out);
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
