// Bytes as on the line, run through the receive parser as a poll would:
// the packets that come out, in order.
#pragma once

#include <cstdint>
#include <vector>

struct ParsedPacket {
    int id;
    std::vector<uint8_t> data;
    bool operator==(const ParsedPacket&) const = default;
};

std::vector<ParsedPacket> ParseAllPackets(const std::vector<uint8_t>& bytes);
