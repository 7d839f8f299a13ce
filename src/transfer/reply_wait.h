// The transfers' own wait for a system data report (0x58) on the display
// port, run while the poll timer is stopped: it reads the port itself, lets
// windows repaint between polls and gives up after a time bound.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "link/packets.h"

// Operation byte of the last report that matched a wait; 0 at start.
extern int32_t LastReplyOperation;

// How long a wait lasts and how it passes the time between polls. Tests
// install a virtual clock so no real seconds go by.
struct ReplyWaitTiming {
    using Clock = std::chrono::steady_clock;
    // The least wait. On a slow line the wait is longer: three times what
    // the longest reply takes at the port's bit rate (ReplyLimit).
    std::chrono::milliseconds limit{2000};
    std::chrono::milliseconds pollInterval{4};
    std::function<Clock::time_point()> now;
    // Runs between polls: by default repaints (no user input) and sleeps.
    std::function<void(std::chrono::milliseconds)> pause;
};

ReplyWaitTiming& ReplyWait();
// Back to the real clock and the default bound; LastReplyOperation to 0.
void ResetReplyWait();

// How long a reply may take on the slot's line: three times the longest
// system data report at its bit rate and character size, never less than
// ReplyWait().limit.
std::chrono::milliseconds ReplyLimit(int slot);

// Waits for a system data report of the type and SV on the display port.
// Returns it, or nothing when the time bound (ReplyLimit) passed first;
// bytes still arriving extend the bound, up to twice it. On a match
// LastReplyOperation takes its operation byte.
std::optional<Report58> WaitForSystemDataReply(uint8_t dataType, uint8_t sv);
