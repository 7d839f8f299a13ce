// A serial line reached over TCP: raw (tcp://) or Telnet with COM-PORT-OPTION
// (rfc2217://). Connecting, reading and writing never block.
#pragma once

#include <memory>
#include <string>

#include "platform/network_url.h"
#include "platform/serial_device.h"

// The device for a parsed URL; it starts connecting at once and is Connecting
// until the connection is made, Gone (with the reason) when it cannot be.
std::unique_ptr<SerialDevice> OpenNetworkSerial(const NetworkUrl& url);
// The same from the URL text; null (and error filled) when it is malformed.
std::unique_ptr<SerialDevice> OpenNetworkPath(const std::string& path, std::string* error);
