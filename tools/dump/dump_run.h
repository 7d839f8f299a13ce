// The recording decoder as a library: bytes in, one line per packet (or a
// track of the position reports) out, and a count per packet id at the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "describe/packet_fields.h"
#include "dump_options.h"
#include "model/formats/time_index.h"
#include "link/frame_scanner.h"

class TrackWriter;

struct DumpSummary {
    std::map<std::string, uint64_t> counts; // per key ("4A", "8F-15")
    uint64_t packets = 0;
    uint64_t bytes = 0;
    uint64_t bytesOutsideFrames = 0;
    uint64_t incompleteTailBytes = 0; // a frame still open at the end of the input
};

class Dumper {
public:
    // hex: every packet's data bytes follow its fields, decoded or not (text and JSON).
    Dumper(std::ostream& out, DumpOutput output, bool hex = false);
    Dumper(std::ostream& out, bool json, bool hex = false)
        : Dumper(out, json ? DumpOutput::Json : DumpOutput::Text, hex)
    {
    }
    ~Dumper();

    void Feed(const uint8_t* bytes, size_t count);
    // Ends the input and writes out everything; the summary is final afterwards.
    const DumpSummary& Finish();
    void WriteSummary(std::ostream& out) const;
    // Writes out the lines decoded so far: a live line is watched as it comes.
    void WritePending();
    // Each line starts with the packet's received time from this index (kept by the caller).
    void UseTimes(TimeIndexReader* index) { times_ = index; }

private:
    void OnPacket(const ScannedPacket& p);
    void WriteLine(const ScannedPacket& p, const char* key);
    void Flush();

    std::ostream& out_;
    DumpOutput output_;
    bool hex_;
    bool finished_ = false;
    FrameScanner scanner_;
    DumpSummary summary_;
    std::vector<char> lines_; // text or JSON lines not yet written to out_
    size_t used_ = 0;
    std::string trackText_; // CSV, GPX or KML not yet written to out_
    DumpFields fields_;
    std::array<uint64_t, 256> idCounts_{};   // per id, 0x8F without a subcode included
    std::array<uint64_t, 256> subCounts8F_{}; // 0x8F per subcode
    std::array<uint64_t, 256> subCounts1C_{}; // 0x1C per subcode
    std::unique_ptr<TrackWriter> track_;
    TimeIndexReader* times_ = nullptr;
    uint64_t timeCursor_ = 0; // the index record of the last frame written
};

// Decodes a whole buffer and returns its summary; lines go to out.
DumpSummary DumpBuffer(const uint8_t* bytes, size_t count, bool json, std::ostream& out, bool hex = false);
