// Every test starts from the program's start-up state. Each layer registers
// how to reset its program-wide state; a gtest listener runs them all
// before every test.
#pragma once

#include <functional>

struct FakeClock;

void RegisterStateReset(std::function<void()> reset);
void ResetAllProgramState();
// Installs the listener; call from each test binary's main before RUN_ALL_TESTS.
void InstallStateResetListener();
// The fake PC clock every test runs on (reset to 6 January 1980 before each test).
FakeClock& TestClock();
