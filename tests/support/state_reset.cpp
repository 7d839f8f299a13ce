#include "support/state_reset.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/transmit_queue.h"
#include "model/base_state.h"
#include "platform/clock.h"

namespace {

std::vector<std::function<void()>>& Resets()
{
    static std::vector<std::function<void()>> resets;
    return resets;
}

class ResetListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ResetAllProgramState(); }
    void OnTestEnd(const testing::TestInfo&) override { ResetAllProgramState(); }
};

} // namespace

FakeClock& TestClock()
{
    static FakeClock clock;
    return clock;
}

void RegisterStateReset(std::function<void()> reset) { Resets().push_back(std::move(reset)); }

void ResetAllProgramState()
{
    // The program's own resets: the GUI binaries register core's, which covers every layer.
    for (auto& reset : Resets())
        reset();
    ResetBaseState();
    // What only tests change: no test may set the machine's clock, so every
    // test starts on the fake one; and tests do not wait between sends.
    TestClock() = FakeClock{};
    UseFakeClock(&TestClock());
    Pacing().sendPauseMs = 0;
}

void InstallStateResetListener()
{
    testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
}
