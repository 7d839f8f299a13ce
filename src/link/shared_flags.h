// Program-wide one-shot and mode flags shared between the main window's
// commands, the report decoders and the two loggers. All 0 at start.
#pragma once

#include <cstdint>

struct SharedFlags {
    uint8_t PositionDownloadPending = 0;
    uint8_t TimeToPcPending = 0;
    uint8_t ReferenceSet = 0;
    uint8_t RawRecordingOn = 0;
    uint8_t DataLoggingOn = 0;
    // An almanac or ephemeris transfer runs: nothing is decoded, so the
    // data logging timer has nothing fresh to write.
    uint8_t TransferRunning = 0;
};

extern SharedFlags Flags;
