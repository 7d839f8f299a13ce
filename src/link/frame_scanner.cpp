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

// The bytes up to the next DLE, outside a DLE pair, are data bytes: taken
// in bulk, exactly as ParseRxByte takes them one by one (a frame that
// outgrows the data buffer starts over as an id-0 packet).
void FrameScanner::CollectPlainRun(PortRecord& port)
{
    const uint8_t* from = port.readBuffer + port.readPos;
    const void* dle = std::memchr(from, DLE, port.bytesLeft);
    size_t run = dle ? static_cast<size_t>(static_cast<const uint8_t*>(dle) - from) : port.bytesLeft;
    offset_ += run;
    port.readPos += static_cast<uint32_t>(run);
    port.bytesLeft -= static_cast<uint32_t>(run);
    while (run > 0) {
        if (port.collectLen >= kPacketDataSize) {
            port.collectLen = 0;
            port.id = 0;
        }
        const size_t take = std::min(run, static_cast<size_t>(kPacketDataSize - port.collectLen));
        std::memcpy(port.data + port.collectLen, from, take);
        port.collectLen += static_cast<int32_t>(take);
        from += take;
        run -= take;
    }
}

void FrameScanner::FeedChunk(const uint8_t* bytes, size_t count, const Callback& onPacket)
{
    PortRecord& port = *port_;
    std::memcpy(port.readBuffer, bytes, count);
    port.readPos = 0;
    port.bytesLeft = static_cast<uint32_t>(count);
    while (port.bytesLeft > 0) {
        if (!port.dlePending)
            CollectPlainRun(port);
        if (port.bytesLeft == 0)
            break;
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
