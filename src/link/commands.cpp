#include "link/commands.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "link/byte_order.h"
#include "link/framing.h"

bool TxAllLit = false;
void (*TransmitLampHook)() = nullptr;
int SendPauseMs = 10;
std::array<int32_t, kPortSlots> LogTriggerId = {};

namespace {

void LightTx()
{
    if (TransmitLampHook)
        TransmitLampHook();
}

// Resolves TX_DEFAULT to the slot it means when Tx-All is dark; -1 otherwise.
int DefaultSlot() { return DisplayPort - 1; }

template <size_t N>
void Send(int port, const uint8_t (&message)[N])
{
    SendPacket(port, static_cast<int>(N), message);
}

void SendThreeFloats(int port, uint8_t id, float a, float b, float c)
{
    uint8_t m[13] = {id};
    PutFloatBE(a, m + 1);
    PutFloatBE(b, m + 5);
    PutFloatBE(c, m + 9);
    Send(port, m);
}

} // namespace

void SendPause()
{
    if (SendPauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(SendPauseMs));
}

void SendPacket(int port, int length, const uint8_t* message)
{
    if (port == TX_ALL || (port == TX_DEFAULT && TxAllLit)) {
        for (PortRecord& record : PortTable)
            if (record.open)
                SendFrame(length, message, record);
        LightTx();
        SendPause();
        return;
    }
    const int slot = port == TX_DEFAULT ? DefaultSlot() : port;
    if (slot < 0 || slot >= kPortSlots || !PortTable[static_cast<size_t>(slot)].open)
        return;
    LightTx();
    SendFrame(length, message, PortTable[static_cast<size_t>(slot)]);
    SendPause();
}

void SendColdReset(int port) { Send(port, {0x1E, 0x4B}); }
void SendResetMode(int port, uint8_t mode) { Send(port, {0x1E, mode}); }
void RequestVersion(int port) { Send(port, {0x1F}); }
void RequestTime(int port) { Send(port, {0x21}); }
void SendInitialPosXYZ(int port, float x, float y, float z) { SendThreeFloats(port, 0x23, x, y, z); }
void RequestSatSelection(int port) { Send(port, {0x24}); }
void SendSoftReset(int port) { Send(port, {0x25}); }
void RequestHealth(int port) { Send(port, {0x26}); }
void SendInitialPosLLA(int port, float lat, float lon, float alt) { SendThreeFloats(port, 0x2B, lat, lon, alt); }

void SendGpsTime(int port, float timeOfWeek, int16_t week)
{
    uint8_t m[7] = {0x2E};
    PutFloatBE(timeOfWeek, m + 1);
    PutInt16BE(week, m + 5);
    Send(port, m);
}

void SendAccuratePosXYZ(int port, float x, float y, float z) { SendThreeFloats(port, 0x31, x, y, z); }
void SendAccuratePosLLA(int port, float lat, float lon, float alt) { SendThreeFloats(port, 0x32, lat, lon, alt); }
void RequestIoOptions(int port) { Send(port, {0x35}); }

void SendIoOptions(int port, const uint8_t options[4])
{
    const uint8_t m[5] = {0x35, options[0], options[1], options[2], options[3]};
    Send(port, m);
    // The data logger binds to the next position report of the target port;
    // with Tx-All lit that is still the display port.
    const int slot = (port == TX_DEFAULT || port == TX_ALL) ? DefaultSlot() : port;
    if (slot >= 0 && slot < kPortSlots)
        LogTriggerId[static_cast<size_t>(slot)] = 1;
}

void RequestSystemData(int port, uint8_t dataType, uint8_t satellite) { Send(port, {0x38, 0x01, dataType, satellite}); }

void LoadSystemData(int port, uint8_t dataType, uint8_t satellite, uint8_t length, const uint8_t* data)
{
    uint8_t m[5 + 255] = {0x38, 0x02, dataType, satellite, length};
    std::memcpy(m + 5, data, length);
    SendPacket(port, 5 + length, m);
}

void RequestTracking(int port) { Send(port, {0x3C, 0x00}); }
void RequestDgpsMode(int port) { Send(port, {0x62, 0x04}); }
void RequestFilters(int port) { Send(port, {0x70}); }

void SendFilters(int port, const uint8_t filters[3])
{
    const uint8_t m[5] = {0x70, filters[0], filters[1], filters[2], 0x00};
    Send(port, m);
}

void RequestGpsConfig(int port) { Send(port, {0xBB, 0x03}); }

void SendGpsConfig(int port, const GpsConfigRecord& c)
{
    uint8_t m[41];
    std::memset(m, 0xFF, sizeof m);
    m[0] = 0xBB;
    m[1] = 0x03;
    m[2] = c.receiverMode;
    m[3] = c.reserved;
    m[4] = c.dynamicsCode;
    PutFloatBE(c.elevationMaskRad, m + 16);
    PutFloatBE(c.signalMask, m + 20);
    PutFloatBE(c.pdopMask, m + 24);
    PutFloatBE(c.pdopSwitch, m + 28);
    m[36] = c.dgpsAgeLimit;
    Send(port, m);
}

void RequestSerialConfig(int port, uint8_t receiverPort) { Send(port, {0xBC, receiverPort}); }

void SendSerialConfig(int port, const SerialConfigRecord& c)
{
    const uint8_t m[11] = {0xBC,        c.receiverPort, c.baudCode, c.baudCode,        c.dataBitsCode,        c.parityCode,
                           c.stopBitsCode, 0x00,        c.inputProtocol, c.outputProtocol, 0x00};
    Send(port, m);
}

void RequestDatum(int port) { Send(port, {0x8E, 0x15}); }

void SendDatum(int port, int16_t datumIndex)
{
    uint8_t m[4] = {0x8E, 0x15};
    PutInt16BE(datumIndex, m + 2);
    Send(port, m);
}

void SendSaveToFlash(int port) { Send(port, {0x8E, 0x26}); }

void ResetCommandState()
{
    TxAllLit = false;
    SendPauseMs = 10;
    LogTriggerId.fill(0);
}
