#include "simulated_port.h"

#include <algorithm>

void SimulatedPort::Run(double seconds)
{
    arrived_.clear();
    line_.Run(seconds, settings_.baud, arrived_);
    input_.insert(input_.end(), arrived_.begin(), arrived_.end());
    delivered_ += arrived_.size();
}

long SimulatedPort::Read(uint8_t* buffer, size_t maxBytes)
{
    const size_t n = std::min(maxBytes, input_.size());
    std::copy_n(input_.begin(), n, buffer);
    input_.erase(input_.begin(), input_.begin() + static_cast<long>(n));
    return static_cast<long>(n);
}

long SimulatedPort::Write(const uint8_t* bytes, size_t count)
{
    line_.Receive(bytes, count);
    return static_cast<long>(count);
}

bool SimulatedPort::SetLineSettings(const LineSettings& s)
{
    settings_ = s;
    return true;
}

bool SimulatedPort::GetLineSettings(LineSettings& s)
{
    s = settings_;
    return true;
}

bool SimulatedPort::Purge()
{
    input_.clear();
    return true;
}
