// A display port that delivers no packet is explained on the status line:
// after 5 s of silence the words say so, with the port's line settings and
// what to try; they go with the first packet.
#pragma once

#include <string>

#include "link/port_table.h"

// How long a display port may be silent before the words appear.
inline constexpr int kSilentPortMs = 5000;

// "COM1: no data for 5 s at 9600 8-O-1: check the receiver's port settings, or use Auto Find"
std::string SilentPortWords(int com, int seconds, const LineCodes& codes);

// Counts the display port's silence from the poll ticks.
class SilenceWatch {
public:
    enum class Change { None, FellSilent, Spoke };
    // One tick of tickMs: whether a packet arrived in it.
    Change Tick(bool packet, int tickMs);
    bool Silent() const { return silent_; }
    void Reset();

private:
    int silentMs_ = 0;
    bool silent_ = false;
};

// Called once per tick for the display port: shows or removes the words on
// the main window's status line. A lost port is explained elsewhere.
void WatchDisplaySilence(bool packet, bool lost, int tickMs);
// Forgets the silence (state reset, display port change) and removes the words.
void ResetDisplaySilence();
