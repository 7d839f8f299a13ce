// The recording decoder as a library: bytes in, one line per packet out,
// and a count per packet id at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "link/frame_scanner.h"

struct DumpSummary {
    std::map<std::string, uint64_t> counts; // per key ("4A", "8F-15")
    uint64_t packets = 0;
    uint64_t bytes = 0;
    uint64_t bytesOutsideFrames = 0;
    uint64_t incompleteTailBytes = 0; // a frame still open at the end of the input
};

class Dumper {
public:
    // hex: every packet's data bytes follow its fields, decoded or not.
    Dumper(std::ostream& out, bool json, bool hex = false) : out_(out), json_(json), hex_(hex) {}

    void Feed(const uint8_t* bytes, size_t count);
    // Ends the input; the summary is final afterwards.
    const DumpSummary& Finish();
    void WriteSummary(std::ostream& out) const;

private:
    void OnPacket(const ScannedPacket& p);

    std::ostream& out_;
    bool json_;
    bool hex_;
    FrameScanner scanner_;
    DumpSummary summary_;
};

// Decodes a whole buffer and returns its summary; lines go to out.
DumpSummary DumpBuffer(const uint8_t* bytes, size_t count, bool json, std::ostream& out, bool hex = false);
