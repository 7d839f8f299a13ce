#include "sim/receiver_settings.h"

ReceiverSettings FactorySettings()
{
    ReceiverSettings s;
    s.ioOptions = {0x02, 0x02, 0x00, 0x00}; // LLA single precision, ENU velocity, GPS time
    s.datum = 0;
    s.gps.receiverMode = 0;
    s.gps.dgpsMode = 2;
    s.gps.dynamicsCode = 1;
    s.gps.elevationMaskRad = 0.0872665f; // 5 degrees
    s.gps.signalMaskAmu = 4.0f;
    s.gps.pdopMask = 12.0f;
    s.gps.pdopSwitch = 8.0f;
    s.gps.dgpsAgeLimitS = 30;
    s.filters = {1, 0, 1, 0};
    for (int port = 0; port < kReceiverPorts; ++port) {
        SerialConfigRecord& c = s.serial[static_cast<size_t>(port)];
        c = SerialConfigRecord{};
        c.receiverPort = static_cast<uint8_t>(port);
        c.baudCode = 7;     // 9600
        c.dataBitsCode = 3; // 8
        c.parityCode = 1;   // odd
        c.stopBitsCode = 0; // 1
    }
    return s;
}
