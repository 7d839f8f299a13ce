// The apply step of the serial port settings: the receiver is told its new
// line settings and, if the user agrees, the PC side follows in place so the
// link survives the change. Used by the serial port dialog and the factory reset.
#pragma once

#include <cstdint>

#include "link/packets.h"

// The pause before and after the transmit flush of a line change.
struct SerialChangePacing {
    int pauseMs = 50;        // tests set 0
    uint32_t pausesRun = 0;  // since start; lets tests see the order send, pause, flush, pause, change
};
SerialChangePacing& SerialChangePauses();

// What the factory reset brings the receiver's port 0 back to: 9600, 8 bits,
// odd parity, 1 stop bit, ZELK in and out.
inline constexpr SerialConfigRecord kFactorySerialSettings{0, 7, 3, 1, 0, 2, 2, 0};

// Asks "Change PC com settings to match?". No: sends the record as it is.
// Yes: sends it with receiver port 255, rewrites the main window's serial
// caption, then (pause, flush, pause) switches the display port, or every
// open port while Tx-All is lit, to the record's line codes. The codes must
// be ones the line-setting tables know.
void ApplySerialSettings(SerialConfigRecord record);

// Back to the default pause and no pauses counted.
void ResetSerialApplyState();
