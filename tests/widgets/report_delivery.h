// Hands a report to the dispatch as the poll timer would: the message built
// by the packet codec, its id and data copied into the slot's PortRecord.
#pragma once

#include <cstring>
#include <initializer_list>
#include <vector>

#include "monitor/dispatch.h"
#include "link/packets.h"
#include "link/port_table.h"

// The whole message, id first.
template <class Report>
std::vector<uint8_t> Message(const Report& report, size_t (*encode)(const Report&, uint8_t*))
{
    std::vector<uint8_t> msg(kMaxPacketMessage);
    msg.resize(encode(report, msg.data()));
    return msg;
}

// Dispatches the message on the slot, with lengthChange bytes cut off (< 0)
// or zero bytes added (> 0).
inline void DeliverMessage(int slot, const std::vector<uint8_t>& msg, int lengthChange = 0)
{
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    port.id = msg[0];
    std::memset(port.data, 0, sizeof port.data);
    std::memcpy(port.data, msg.data() + 1, msg.size() - 1);
    port.length = static_cast<uint32_t>(static_cast<int>(msg.size()) - 1 + lengthChange);
    DispatchReport(port);
}

template <class Report>
void Deliver(int slot, const Report& report, size_t (*encode)(const Report&, uint8_t*), int lengthChange = 0)
{
    DeliverMessage(slot, Message(report, encode), lengthChange);
}

// A fix list (6D) of a 3-D fix with these satellites.
inline void SendFixList(int slot, std::initializer_list<int> prns)
{
    Report6D r;
    r.fixModeBits = 0x44;
    for (int prn : prns)
        r.prns[r.prnCount++] = static_cast<int8_t>(prn);
    Deliver(slot, r, &EncodeReport6D);
}
