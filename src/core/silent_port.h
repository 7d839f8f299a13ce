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

// Follows the engine's stale state of the display port (5 s without a packet,
// counted by the engine): shows or removes the words on the status line.
void ShowDisplaySilence(bool stale);
// Removes the words (state reset, display port change).
void ResetDisplaySilence();
