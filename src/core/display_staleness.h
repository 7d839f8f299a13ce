// The main window's value fields keep their last text when the display port
// is lost or silent (no packet for 5 s) but turn to the button-face colour,
// the colour of a field without data, until fresh reports arrive.
#pragma once

// Called once per tick: whether the display port delivered a packet in it,
// and whether it is lost.
void TrackDisplayFreshness(bool packetThisTick, bool lost);
// Forgets the silence count and any greyed fields (state reset, display port change).
void ResetDisplayFreshness();
