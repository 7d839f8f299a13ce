// Who may open a device: its owning group and the groups this process has,
// so a refused open can say which group would help.
#pragma once

#include <string>
#include <vector>

struct DeviceAccess {
    std::string deviceGroup;              // owning group of the device ("" when it cannot be read)
    bool groupMayReadWrite = false;       // the group's mode bits allow read and write
    std::vector<std::string> userGroups;  // the groups this process runs with
    std::vector<std::string> laterGroups; // groups the user is listed in but this login lacks
};

// Looks the device up (following links); empty fields where nothing is known.
DeviceAccess ReadDeviceAccess(const std::string& path);

// The advice after "Permission denied": names the device's group and the
// user's groups and says which group to join, or why joining one would not help.
std::string PermissionAdvice(const DeviceAccess& access);
