// State of the 200 ms poll timer (TForm_Main::ZELKTimer): the 2-second cycle
// position and the activity lamps' fading.
#pragma once

#include <cstdint>

extern int32_t PollTick;      // 0..9 within the 2-second cycle
extern int32_t TxLedWasLit;   // the Tx lamp was lit at the previous tick
extern int32_t RxLedWasLit;

// Clears stale satellite channels once a second; null until the tracking
// display installs it.
extern void (*ExpireChannelsHook)();

// True while a tick runs (its routine queries are not the user's commands).
bool InPollTick();

// Returns the poll timer's program-wide state and hooks to their start values.
void ResetPollTimerState();
