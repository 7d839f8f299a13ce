#include "support/state_reset.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/commands.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "model/gps_time.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"

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
    for (auto& reset : Resets())
        reset();
    ResetLinkState();
    ClearComMapping();
    // No test may set the machine's clock: every test starts on the fake one.
    TestClock() = FakeClock{};
    UseFakeClock(&TestClock());
    GpsSeconds = 0.0;
    ResetCommandState();
    TransmitLampHook = nullptr;
    TransmitPendingHook = nullptr;
    PortStateHook = nullptr;
    SendPauseMs = 0; // tests do not wait between sends
    PacketWaitDone = 0;
}

void InstallStateResetListener()
{
    testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
}
