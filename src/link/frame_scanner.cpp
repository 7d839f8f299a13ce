#include "link/frame_scanner.h"

#include <algorithm>
#include <cstring>

#include "link/framing.h"

FrameScanner::FrameScanner() : port_(std::make_unique<PortRecord>()) {}

FrameScanner::~FrameScanner() = default;

void FrameScanner::Feed(const uint8_t* bytes, size_t count, const Callback& onPacket)
{
    while (count > 0) {
        const size_t chunk = std::min(count, static_cast<size_t>(kReadBufferSize));
        FeedChunk(bytes, chunk, onPacket);
        bytes += chunk;
        count -= chunk;
    }
}

void FrameScanner::FeedChunk(const uint8_t* bytes, size_t count, const Callback& onPacket)
{
    PortRecord& port = *port_;
    std::memcpy(port.readBuffer, bytes, count);
    port.readPos = 0;
    port.bytesLeft = static_cast<uint32_t>(count);
    while (port.bytesLeft > 0) {
        const uint8_t b = port.readBuffer[port.readPos];
        const bool afterDle = port.dlePending != 0;
        const int32_t done = ParseRxByte(port);
        ++offset_;
        // The parser starts a packet at DLE followed by anything but DLE or ETX.
        if (afterDle && b != DLE && b != ETX) {
            start_ = offset_ - 2;
            started_ = true;
        }
        if (!done)
            continue;
        ScannedPacket packet;
        packet.id = port.id;
        packet.data = port.data;
        packet.length = port.length;
        packet.hasStart = started_;
        packet.offset = started_ ? start_ : lastEnd_;
        packet.frameBytes = offset_ - packet.offset;
        outside_ += packet.offset - lastEnd_;
        lastEnd_ = offset_;
        started_ = false;
        if (onPacket)
            onPacket(packet);
    }
    port.readPos = 0;
}
