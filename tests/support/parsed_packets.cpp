#include "support/parsed_packets.h"

#include <algorithm>
#include <memory>

#include "link/framing.h"

std::vector<ParsedPacket> ParseAllPackets(const std::vector<uint8_t>& bytes)
{
    auto port = std::make_unique<PortRecord>(); // large buffers: keep off the stack
    std::vector<ParsedPacket> packets;
    for (size_t at = 0; at < bytes.size();) {
        const size_t n = std::min(bytes.size() - at, sizeof port->readBuffer);
        std::copy_n(bytes.begin() + static_cast<long>(at), n, port->readBuffer);
        port->readPos = 0;
        port->bytesLeft = static_cast<uint32_t>(n);
        while (port->bytesLeft > 0)
            if (ParseRxByte(*port))
                packets.push_back({port->id, {port->data, port->data + port->length}});
        at += n;
    }
    return packets;
}
