// Every test starts from the program's start-up state: the program's own
// reset (ResetBaseState, or core's ResetProgramState in the GUI binaries,
// registered here) and then the few settings only tests change. A gtest
// listener runs it before and after every test.
#pragma once

#include <functional>

struct FakeClock;

void RegisterStateReset(std::function<void()> reset);
void ResetAllProgramState();
// Installs the listener; call from each test binary's main before RUN_ALL_TESTS.
void InstallStateResetListener();
// The fake PC clock every test runs on (reset to 6 January 1980 before each test).
FakeClock& TestClock();
