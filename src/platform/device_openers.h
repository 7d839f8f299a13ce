// Devices of the program's own kinds, reached through OpenSerialDevice by a
// path prefix: a replayed recording is "replay:" and the file's path. The
// opener of a prefix is installed by the layer that owns that kind.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

constexpr const char* kReplayPathPrefix = "replay:";

using DeviceOpener = std::unique_ptr<SerialDevice> (*)(const std::string& path, OpenError& error);
// Null removes the prefix's opener.
void SetDeviceOpener(const std::string& prefix, DeviceOpener opener);
// True when the path names a replayed recording.
bool IsReplayPath(const std::string& path);
// The COM number's mapping goes (the replay that held it has closed).
void RemoveComDevice(int com);
