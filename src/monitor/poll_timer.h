// The poll timer's program-wide state (Monitor::Tick).
#pragma once

#include <cstdint>

extern int32_t PollTick; // 0..9 within the 2-second cycle

// Counts the satellite channels down once a second: ExpireChannels unless a
// test counts the calls instead. Back to ExpireChannels on Monitor::Reset.
extern void (*ExpireChannelsHook)();
