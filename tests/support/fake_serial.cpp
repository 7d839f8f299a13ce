#include "support/fake_serial.h"

#include <algorithm>

long FakeSerial::Read(uint8_t* buffer, size_t maxBytes)
{
    ++state_->reads;
    if (state_->gone)
        return -1;
    const size_t n = std::min(maxBytes, state_->input.size());
    std::copy_n(state_->input.begin(), n, buffer);
    state_->input.erase(state_->input.begin(), state_->input.begin() + static_cast<long>(n));
    return static_cast<long>(n);
}

long FakeSerial::Write(const uint8_t* bytes, size_t count)
{
    if (state_->gone)
        return -1;
    state_->written.insert(state_->written.end(), bytes, bytes + count);
    if (state_->responder)
        state_->responder(*state_, bytes, count);
    return static_cast<long>(count);
}

std::shared_ptr<FakeSerial::State> AttachFakeSerial(int slot)
{
    auto state = std::make_shared<FakeSerial::State>();
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    port.handle = std::make_unique<FakeSerial>(state);
    port.open = 1;
    port.slot = slot;
    return state;
}

void Feed(FakeSerial::State& state, const std::vector<uint8_t>& bytes)
{
    state.input.insert(state.input.end(), bytes.begin(), bytes.end());
}
