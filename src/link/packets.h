// Plain structs for the reports and commands of the protocol, with their
// parse and encode functions: the one place that knows byte offsets.
#pragma once

#include <cstdint>

// Settings carried by the GPS configuration command 0xBB 0x03: three code
// bytes, four floats and one byte, in message order.
struct GpsConfigRecord {
    uint8_t receiverMode = 0;
    uint8_t reserved = 0;
    uint8_t dynamicsCode = 0;
    float elevationMaskRad = 0;
    float signalMask = 0;
    float pdopMask = 0;
    float pdopSwitch = 0;
    uint8_t dgpsAgeLimit = 0;
};

// Settings carried by the serial configuration command 0xBC.
struct SerialConfigRecord {
    uint8_t receiverPort = 0;
    uint8_t baudCode = 7;
    uint8_t dataBitsCode = 3;
    uint8_t parityCode = 1;
    uint8_t stopBitsCode = 0;
    uint8_t inputProtocol = 2;
    uint8_t outputProtocol = 2;
    uint8_t reserved = 0;
};
