#include "link/commands.h"

#include <algorithm>

#include "link/framing.h"

bool TxAllLit = false;
std::array<int32_t, kPortSlots> LogTriggerId = {};

namespace {

// The slot TX_DEFAULT means while Tx-All is dark.
int DefaultSlot() { return DisplayPort - 1; }

bool SendsToAll(int port) { return port == TX_ALL || (port == TX_DEFAULT && TxAllLit); }

void SendCommand(int port, const Command& command)
{
    uint8_t message[kMaxPacketMessage];
    const size_t length = EncodeCommand(command, message);
    SendPacket(port, static_cast<int>(length), message);
}

void SendKind(int port, CommandKind kind)
{
    Command command;
    command.kind = kind;
    SendCommand(port, command);
}

void SendPosition(int port, CommandKind kind, float a, float b, float c)
{
    Command command;
    command.kind = kind;
    command.position = {a, b, c};
    SendCommand(port, command);
}

} // namespace

void SendPacket(int port, int length, const uint8_t* message)
{
    if (SendsToAll(port)) {
        for (PortRecord& record : PortTable)
            if (record.open)
                SendFrame(length, message, record);
        return;
    }
    const int slot = port == TX_DEFAULT ? DefaultSlot() : port;
    if (slot < 0 || slot >= kPortSlots || !PortTable[static_cast<size_t>(slot)].open)
        return;
    SendFrame(length, message, PortTable[static_cast<size_t>(slot)]);
}

void SendColdReset(int port) { SendResetMode(port, kColdResetMode); }

void SendResetMode(int port, uint8_t mode)
{
    Command command;
    command.kind = CommandKind::ResetMode;
    command.resetMode = mode;
    SendCommand(port, command);
}

void RequestVersion(int port) { SendKind(port, CommandKind::RequestVersion); }
void RequestTime(int port) { SendKind(port, CommandKind::RequestTime); }
void SendInitialPosXYZ(int port, float x, float y, float z) { SendPosition(port, CommandKind::InitialPosXYZ, x, y, z); }
void RequestSatSelection(int port) { SendKind(port, CommandKind::RequestSatSelection); }
void SendSoftReset(int port) { SendKind(port, CommandKind::SoftReset); }
void RequestHealth(int port) { SendKind(port, CommandKind::RequestHealth); }

void SendInitialPosLLA(int port, float latRad, float lonRad, float altM)
{
    SendPosition(port, CommandKind::InitialPosLLA, latRad, lonRad, altM);
}

void SendGpsTime(int port, float timeOfWeek, int16_t week)
{
    Command command;
    command.kind = CommandKind::GpsTime;
    command.time = {timeOfWeek, static_cast<uint16_t>(week)};
    SendCommand(port, command);
}

void SendAccuratePosXYZ(int port, float x, float y, float z) { SendPosition(port, CommandKind::AccuratePosXYZ, x, y, z); }

void SendAccuratePosLLA(int port, float latRad, float lonRad, float altM)
{
    SendPosition(port, CommandKind::AccuratePosLLA, latRad, lonRad, altM);
}

void RequestIoOptions(int port) { SendKind(port, CommandKind::RequestIoOptions); }

void SendIoOptions(int port, const uint8_t options[4])
{
    Command command;
    command.kind = CommandKind::SetIoOptions;
    command.ioOptions = {options[0], options[1], options[2], options[3]};
    SendCommand(port, command);
    // The data logger binds again to the next position report of every port
    // the options went to: a receiver told to send another position report
    // would otherwise never trigger a record again.
    if (SendsToAll(port)) {
        for (size_t slot = 0; slot < PortTable.size(); ++slot)
            if (PortTable[slot].open)
                LogTriggerId[slot] = 1;
        return;
    }
    const int slot = port == TX_DEFAULT ? DefaultSlot() : port;
    if (slot >= 0 && slot < kPortSlots)
        LogTriggerId[static_cast<size_t>(slot)] = 1;
}

void RequestSystemData(int port, uint8_t dataType, uint8_t satellite)
{
    Command command;
    command.kind = CommandKind::RequestSystemData;
    command.systemData.dataType = dataType;
    command.systemData.sv = satellite;
    SendCommand(port, command);
}

void LoadSystemData(int port, uint8_t dataType, uint8_t satellite, uint8_t length, const uint8_t* data)
{
    Command command;
    command.kind = CommandKind::LoadSystemData;
    command.systemData.dataType = dataType;
    command.systemData.sv = satellite;
    command.systemData.dataLength = data ? length : 0;
    if (data)
        std::copy_n(data, length, command.systemData.data.begin());
    SendCommand(port, command);
}

void RequestTracking(int port) { SendKind(port, CommandKind::RequestTracking); }
void RequestDgpsMode(int port) { SendKind(port, CommandKind::RequestDgpsMode); }
void RequestFilters(int port) { SendKind(port, CommandKind::RequestFilters); }

void SendFilters(int port, const uint8_t filters[3])
{
    Command command;
    command.kind = CommandKind::SetFilters;
    command.filters = {filters[0], filters[1], filters[2], 0};
    SendCommand(port, command);
}

void RequestGpsConfig(int port) { SendKind(port, CommandKind::RequestGpsConfig); }

void SendGpsConfig(int port, const GpsConfigRecord& config)
{
    Command command;
    command.kind = CommandKind::SetGpsConfig;
    command.gpsConfig = config;
    SendCommand(port, command);
}

void RequestSerialConfig(int port, uint8_t receiverPort)
{
    Command command;
    command.kind = CommandKind::RequestSerialConfig;
    command.serialConfig.receiverPort = receiverPort;
    SendCommand(port, command);
}

void SendSerialConfig(int port, const SerialConfigRecord& config)
{
    Command command;
    command.kind = CommandKind::SetSerialConfig;
    command.serialConfig = config;
    SendCommand(port, command);
}

void RequestDatum(int port) { SendKind(port, CommandKind::RequestDatum); }

void SendDatum(int port, int16_t datumIndex)
{
    Command command;
    command.kind = CommandKind::SetDatum;
    command.datumIndex = static_cast<uint16_t>(datumIndex);
    SendCommand(port, command);
}

void SendSaveToFlash(int port) { SendKind(port, CommandKind::SaveToFlash); }

void ResetCommandState()
{
    TxAllLit = false;
    LogTriggerId.fill(0);
}
