// The 16 serial port slots and the program-wide link state. Slot i is COM i+1.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_device.h"

constexpr int kPortSlots = 16;
constexpr int kReadBufferSize = 8192;
constexpr int kPacketDataSize = 512;

// What a port has received, for the views; counted per read and per packet.
struct PortTraffic {
    uint64_t packets = 0; // complete packets
    uint64_t bytes = 0;   // bytes read from the device
    int32_t quietMs = 0;  // since the last packet, or since the port opened
};

struct PortRecord {
    // Receive state of the parser (framing.h).
    int32_t readPos = 0;
    int32_t collectLen = 0;
    uint32_t bytesLeft = 0;
    uint32_t length = 0;
    uint8_t dlePending = 0;
    // Supervision flags.
    uint8_t open = 0;
    uint8_t activeLastPeriod = 0;
    uint8_t packetSeen = 0;
    uint8_t monitored = 0;
    int32_t slot = 0;
    int32_t searchStep = 0;
    // The device went away: closed on the PC side, still mapped, reopened by
    // ReopenLostPorts. monitored keeps its value meanwhile.
    uint8_t lost = 0;
    // What the device said when it went (a network port's reason), for the user.
    std::string lostReason;
    // Reopened after a loss: the search sequence keeps the slot's line codes.
    uint8_t resumed = 0;
    // Time between tries to reopen the lost slot, and the time left until the next.
    int32_t reopenDelayMs = 1000;
    int32_t reopenWaitMs = 0;
    std::unique_ptr<SerialDevice> handle;
    // Counts the slot's opens and reopens: a new value is a new connection
    // (a new device may well land at the old one's address).
    uint32_t generation = 0;
    // Kept while the slot is lost; cleared when it is closed.
    PortTraffic traffic;
    // The packet being collected or just completed.
    int32_t id = 0;
    uint8_t readBuffer[kReadBufferSize] = {};
    uint8_t data[kPacketDataSize] = {};
};

extern std::array<PortRecord, kPortSlots> PortTable;

// COM number (1..16) shown in full by the main window; 0 until chosen.
extern int32_t DisplayPort;

// Ascending COM numbers present, and their count (-1 when no list is known).
extern std::array<int32_t, kPortSlots> PortList;
extern int32_t PortCount;

// PC-side line-setting codes last given to each slot: baud, data bits, parity, stop bits.
struct LineCodes {
    uint8_t baud = 7;
    uint8_t dataBits = 3;
    uint8_t parity = 1;
    uint8_t stopBits = 0;
    bool operator==(const LineCodes&) const = default;
};
extern std::array<LineCodes, kPortSlots> PortLineCodes;

extern int32_t QuietCloseCountdown;

// Opens a device for a slot: resets the receive state and flags, opens the
// device exclusively and sets 9600 8-O-1. Returns 0, or -1 when it cannot open.
int OpenPort(PortRecord& port, const std::string& deviceName, int slot);
// The same, telling why the device did not open.
int OpenPort(PortRecord& port, const std::string& deviceName, int slot, OpenError& error);
// True when the device of the slot's COM number can be opened right now.
bool ProbePort(int slot);
// ProbePort then OpenPort with the slot's mapped device; starts the search at 9.
int OpenSlot(int slot);
int OpenSlot(int slot, OpenError& error);
void ClosePort(PortRecord& port);
// Adds elapsedMs to the quiet time of every open or lost slot (the poll timer,
// before it reads the ports).
void AgePortTraffic(int elapsedMs);
// When the slot's device is gone: closes it on the PC side and marks the slot
// lost (it stays mapped and monitored). Returns true when the slot is lost.
bool MarkLostIfGone(PortRecord& port);
// Counts down the lost slots' waits by elapsedMs and tries to reopen those
// due, through their mapped path, with their last line settings and the
// search sequence from 9. Returns the number reopened.
int ReopenLostPorts(int elapsedMs);
// Changes a port's line settings in place. Returns 0 or -1.
int SetLineSettings(SerialDevice* handle, int baud, int dataBits, int parity, int stopBits);
// Fills the list with the ascending COM numbers present that are <= maxCom.
// Returns the count, or -1 when none.
int ReadPortList(std::array<int32_t, kPortSlots>& list, int maxCom);

// Closes every slot and returns all program-wide link state to its start values.
void ResetLinkState();
