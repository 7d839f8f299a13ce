// Placeholder until the POSIX serial device lands.
#include "platform/serial_device.h"

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, std::string* error)
{
    if (error)
        *error = "serial devices are not available yet: " + path;
    return nullptr;
}
