// The command packets the program sends, one sender per command, and the
// generic sender that picks the target ports and queues the frames (the
// transmit queues light Tx and pace them).
#pragma once

#include <array>
#include <cstdint>

#include "link/packets.h"
#include "link/port_table.h"
#include "link/transmit_queue.h"

// Port argument of every sender: 0..15 a slot, or one of these.
constexpr int TX_DEFAULT = 1024; // all open ports while Tx-All is lit, else the display port
constexpr int TX_ALL = 1025;     // all open ports

// The Tx-All state (the lamp on the COM panel mirrors it).
extern bool TxAllLit;
// Per slot: 1 after an I/O options set, so the data logger binds to the next
// position report of that port (0 = not bound yet waiting, else the bound id).
extern std::array<int32_t, kPortSlots> LogTriggerId;

void SendPacket(int port, int length, const uint8_t* message);

void SendColdReset(int port);
void SendResetMode(int port, uint8_t mode);
void RequestVersion(int port);
void RequestTime(int port);
void SendInitialPosXYZ(int port, float x, float y, float z);
void RequestSatSelection(int port);
void SendSoftReset(int port);
void RequestHealth(int port);
void SendInitialPosLLA(int port, float latRad, float lonRad, float altM);
void SendGpsTime(int port, float timeOfWeek, int16_t week);
void SendAccuratePosXYZ(int port, float x, float y, float z);
void SendAccuratePosLLA(int port, float latRad, float lonRad, float altM);
void RequestIoOptions(int port);
void SendIoOptions(int port, const uint8_t options[4]);
void RequestSystemData(int port, uint8_t dataType, uint8_t satellite);
void LoadSystemData(int port, uint8_t dataType, uint8_t satellite, uint8_t length, const uint8_t* data);
void RequestTracking(int port);
void RequestDgpsMode(int port);
void RequestFilters(int port);
void SendFilters(int port, const uint8_t filters[3]);
void RequestGpsConfig(int port);
void SendGpsConfig(int port, const GpsConfigRecord& config);
void RequestSerialConfig(int port, uint8_t receiverPort);
void SendSerialConfig(int port, const SerialConfigRecord& config);
void RequestDatum(int port);
void SendDatum(int port, int16_t datumIndex);
void SendSaveToFlash(int port);

// Returns the sender state (Tx-All, trigger ids) to its start values.
void ResetCommandState();
