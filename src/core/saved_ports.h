// The port mapping a user chose to keep (jx_monitor --save-ports): COM number
// -> device path, in a file of its own under the user's XDG configuration
// directory. Nothing else is stored; without the file nothing changes.
#pragma once

#include <string>
#include <vector>

#include "platform/port_enumeration.h"

// $XDG_CONFIG_HOME/JX_Monitor/ports.conf (~/.config when unset).
std::string SavedPortsFile();

// Replaces the saved mapping by this one; an empty one removes the file.
// False and error filled when the file cannot be written or removed.
bool SavePortMapping(const std::vector<ComMapping>& mapping, std::string* error);

// The saved mapping, ascending by COM number. Each line gets the command
// line's checks (RefusePortMapping); a refused line is left out and described
// in problems as "FILE:LINE: ...", so a hand-edited file cannot map one device
// or one COM number twice. A file that cannot be read maps nothing.
std::vector<ComMapping> LoadSavedPortMapping(std::vector<std::string>* problems);
