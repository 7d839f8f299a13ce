// DLE/ETX packet framing: the receive parser fed from a port's read buffer,
// the per-tick read of a port, and the transmit framing of a message.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/byte_order.h"
#include "link/port_table.h"

constexpr uint8_t DLE = 0x10;
constexpr uint8_t ETX = 0x03;

// Longest message the program frames (0x38 0x02 type sv L + 255 bytes),
// and the longest frame that message can become when every byte is 0x10.
constexpr size_t kMaxMessageBytes = 260;
constexpr size_t kMaxFrameBytes = 2 * kMaxMessageBytes + 3;

// Set by a handler that waits for one particular packet; a stop-on-flag
// read stops feeding bytes once it is set. The waiting code clears it.
extern uint8_t PacketWaitDone;

using PacketHandler = void (*)(PortRecord& port);

// Parses the next byte of port.readBuffer. Returns 1 when it completed a packet.
int32_t ParseRxByte(PortRecord& port);

// Most bytes one poll of a port reads (in reads of at most a read buffer).
constexpr uint32_t kPollCapBytes = 64 * 1024;

// Reads what the port has queued (never blocking, up to kPollCapBytes) and
// parses it, calling the handler once per completed packet; marks the slot
// lost when its device has gone. Returns 0.
int PollPort(PortRecord& port, PacketHandler handler, uint8_t stopOnFlag);

// Wraps message bytes (id first) in DLE ... DLE ETX with DLE doubling.
// out must hold 2 * count + 3 bytes. Returns the frame length.
size_t BuildFrame(const uint8_t* message, size_t count, uint8_t* out);

// Frames the message and queues it for the port (transmit_queue.h). Messages
// longer than kMaxMessageBytes are refused (nothing queued). Returns 0.
int SendFrame(int count, const uint8_t* message, PortRecord& port);
