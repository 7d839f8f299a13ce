// Hands reports, built by the packet encoders, to the dispatch as the poll
// timer would after reading them from a port.
#pragma once

#include <cstring>
#include <vector>

#include "core/dispatch.h"
#include "link/packets.h"
#include "link/port_table.h"

// The message (id first) as the slot's completed packet, dispatched.
inline void DeliverMessage(int slot, const std::vector<uint8_t>& message)
{
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    port.id = message.at(0);
    port.length = static_cast<uint32_t>(message.size() - 1);
    std::memcpy(port.data, message.data() + 1, message.size() - 1);
    DispatchReport(port);
}

template <class Report>
std::vector<uint8_t> Encoded(const Report& report, size_t (*encode)(const Report&, uint8_t*))
{
    std::vector<uint8_t> message(kMaxPacketMessage);
    message.resize(encode(report, message.data()));
    return message;
}

template <class Report>
void Deliver(int slot, const Report& report, size_t (*encode)(const Report&, uint8_t*))
{
    DeliverMessage(slot, Encoded(report, encode));
}
