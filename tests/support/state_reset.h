// Every test starts from the program's start-up state. Each layer registers
// how to reset its program-wide state; a gtest listener runs them all
// before every test.
#pragma once

#include <functional>

void RegisterStateReset(std::function<void()> reset);
void ResetAllProgramState();
// Installs the listener; call from each test binary's main before RUN_ALL_TESTS.
void InstallStateResetListener();
