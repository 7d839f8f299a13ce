// Splits a recorded or live byte stream into packets with the receive parser
// and keeps, for every packet, where its frame began in the stream. Used by
// tools that need positions (the recording decoder, the replaying simulator).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "link/port_table.h"

struct ScannedPacket {
    int id = 0;
    const uint8_t* data = nullptr; // valid only during the callback
    size_t length = 0;
    uint64_t offset = 0;     // stream position of the frame's first byte (its DLE)
    uint64_t frameBytes = 0; // bytes on the wire from offset through DLE ETX
    // False when the stream held no DLE-id start for this packet (a recording
    // that begins mid-frame): the parser then reports the previous id.
    bool hasStart = true;
};

class FrameScanner {
public:
    using Callback = std::function<void(const ScannedPacket&)>;

    FrameScanner();
    ~FrameScanner();

    void Feed(const uint8_t* bytes, size_t count, const Callback& onPacket);

    uint64_t BytesSeen() const { return offset_; }
    // Bytes after the last completed packet: a frame still open, or junk.
    uint64_t PendingBytes() const { return offset_ - lastEnd_; }
    // Bytes that belonged to no delivered packet (line noise, abandoned frames).
    uint64_t BytesOutsideFrames() const { return outside_; }

private:
    void FeedChunk(const uint8_t* bytes, size_t count, const Callback& onPacket);
    void CollectPlainRun(PortRecord& port);

    std::unique_ptr<PortRecord> port_;
    uint64_t offset_ = 0;
    uint64_t lastEnd_ = 0;
    uint64_t start_ = 0;
    bool started_ = false;
    uint64_t outside_ = 0;
};
