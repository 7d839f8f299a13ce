// The settings a receiver keeps and its set commands change.
#pragma once

#include <array>
#include <cstdint>

#include "link/packets.h"

constexpr int kReceiverPorts = 2;

struct ReceiverSettings {
    IoOptionsRecord ioOptions;
    uint16_t datum = 0;
    GpsConfigRecord gps;
    FilterRecord filters;
    std::array<SerialConfigRecord, kReceiverPorts> serial;
};

// What a receiver holds after a factory reset.
ReceiverSettings FactorySettings();
