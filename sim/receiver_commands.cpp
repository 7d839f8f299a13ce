// How the simulated receiver answers and applies each command.
#include <cmath>

#include "link/line_codes.h"
#include "sim/receiver_simulator.h"

namespace {

constexpr int kDatumCount = 180;
constexpr uint8_t kOperationData = 2;
constexpr uint8_t kOperationNotAvailable = 3;
constexpr uint8_t kOperationAccepted = 1;
constexpr uint8_t kOperationRejected = 0;
constexpr uint8_t kThisPort = 255; // a set command for "the port this arrived on"

// The receiver takes only settings it can run a line with.
bool UsableLine(const SerialConfigRecord& c)
{
    return BaudRate(c.baudCode) > 0 && DataBitsValue(c.dataBitsCode) > 0 && ParityValue(c.parityCode) >= 0 &&
           StopBitsValue(c.stopBitsCode) >= 0;
}

} // namespace

void ReceiverSimulator::Handle(const Command& c)
{
    switch (c.kind) {
    case CommandKind::ResetMode:
        if (c.resetMode == kColdResetMode)
            Restart(RestartKind::Cold);
        else if (c.resetMode == kFactoryResetMode)
            Restart(RestartKind::Factory);
        break;
    case CommandKind::SoftReset: Restart(RestartKind::Soft); break;
    case CommandKind::RequestVersion: SendVersion(); break;
    case CommandKind::RequestTime: SendTime(); break;
    case CommandKind::RequestSatSelection: options_.timingModel ? SendFixWithCount() : SendFixMode(); break;
    case CommandKind::RequestHealth: SendHealth(); break;
    case CommandKind::GpsTime: HandleGpsTime(c.time); break;
    case CommandKind::RequestIoOptions: SendIoOptions(); break;
    case CommandKind::SetIoOptions:
        settings_.ioOptions = c.ioOptions;
        SendIoOptions();
        break;
    case CommandKind::RequestSystemData:
    case CommandKind::LoadSystemData: HandleSystemData(c); break;
    case CommandKind::RequestTracking: options_.timingModel ? SendGnssTracking() : SendTracking(); break;
    case CommandKind::RequestDgpsMode: SendDgpsMode(); break;
    case CommandKind::RequestFilters: SendFilters(); break;
    case CommandKind::SetFilters:
        settings_.filters = c.filters;
        SendFilters();
        break;
    case CommandKind::RequestGpsConfig: SendGpsConfig(); break;
    case CommandKind::SetGpsConfig: settings_.gps = c.gpsConfig; break;
    case CommandKind::RequestSerialConfig: SendSerialConfig(c.serialConfig.receiverPort); break;
    case CommandKind::SetSerialConfig: HandleSerialConfig(c.serialConfig); break;
    case CommandKind::RequestDatum: SendDatum(); break;
    case CommandKind::SetDatum:
        if (c.datumIndex < kDatumCount)
            settings_.datum = c.datumIndex;
        SendDatum();
        break;
    case CommandKind::SaveToFlash:
        saved_ = settings_;
        SendSaveConfirmation();
        break;
    default: break; // initial positions are taken silently; unknown commands ignored
    }
}

void ReceiverSimulator::HandleGpsTime(const GpsTimeCommand& time)
{
    // A receiver that already has time from the sky keeps it.
    if (HasTime()) {
        SendTimeAnswer(false);
        return;
    }
    // A time of week outside the week is no time: taken, a clock of 1e30 s
    // could no longer count its seconds.
    const bool inWeek = time.timeOfWeekS >= 0.0f && time.timeOfWeekS < 604800.0f;
    const double given = time.week * 604800.0 + time.timeOfWeekS;
    if (!inWeek || !(given > 0)) {
        SendTimeAnswer(false);
        return;
    }
    const double shift = given - gpsSeconds_;
    gpsSeconds_ = given;
    nextTick_ = std::floor(given) + 1;
    restartAt_ += shift;
    timeFromUser_ = true;
    tracker_.Clear(); // another time is another sky: search again
    SendTimeAnswer(true);
}

void ReceiverSimulator::HandleSystemData(const Command& c)
{
    const SystemDataCommand& d = c.systemData;
    if (c.kind == CommandKind::RequestSystemData) {
        const auto block = systemData_.Find(d.dataType, d.sv);
        if (block)
            SendSystemData(kOperationData, d.dataType, d.sv, *block);
        else
            SendSystemData(kOperationNotAvailable, d.dataType, d.sv, {});
        return;
    }
    const bool taken = systemData_.Load(d.dataType, d.sv, d.data.data(), d.dataLength);
    SendSystemData(taken ? kOperationAccepted : kOperationRejected, d.dataType, d.sv, {});
}

void ReceiverSimulator::HandleSerialConfig(const SerialConfigRecord& config)
{
    const uint8_t port = config.receiverPort == kThisPort ? 0 : config.receiverPort;
    if (port >= kReceiverPorts || !UsableLine(config))
        return;
    SerialConfigRecord stored = config;
    stored.receiverPort = port;
    // The new line settings take effect at once: what follows goes out at the new rate.
    settings_.serial[port] = stored;
}
