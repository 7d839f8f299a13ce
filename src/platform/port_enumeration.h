// Which device stands behind each COM number. On Linux there are no COM
// names, so the program keeps a mapping COM 1..16 -> device path, filled
// from the command line and from the serial devices present.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct ComMapping {
    int com = 0;
    std::string path;
    std::string description; // what the system says the device is, if anything
};

// The checks one COM -> device entry gets wherever it comes from (the command
// line, the saved file): a usable path (no control characters, a well-formed
// network URL, no unknown URL scheme), a COM number (0: none was free), and
// neither already in mapping. "" when it may be added, else a sentence why not.
std::string RefusePortMapping(int com, const std::string& path, const std::vector<ComMapping>& mapping);
// The N of --comN= or COMN=: 1..16, or -1 for anything else.
int ParseComNumber(const std::string& digits);
// The text with every byte outside printable ASCII (and the backslash) as \xHH, for a terminal.
std::string PrintableText(const std::string& text);

// Takes the --comN=PATH and bare /dev/... arguments out of args and maps them;
// PATH may also be a network port, tcp://HOST:PORT or rfc2217://HOST:PORT;
// the other arguments stay, in order. Returns false and fills error on a bad one.
bool TakeComArguments(std::vector<std::string>& args, std::string* error);
// Gives the remaining free COM numbers to the serial devices present, in this
// order: /dev/ttyUSB*, /dev/ttyACM*, then the built-in UARTs /dev/ttyS* that
// really exist; each group by its number. Devices already mapped keep their COM.
void MapPresentDevices();
// The serial devices present, as /dev paths, in the order above.
std::vector<std::string> PresentSerialDevices();
// Keeps the ttyUSB/ttyACM/ttyS names with a numeric suffix, in the order above.
std::vector<std::string> OrderSerialDeviceNames(const std::vector<std::string>& names);
void SetComDevice(int com, const std::string& path);
void ClearComMapping();

// The device path (or network URL) of a COM number, or "" when none is mapped.
std::string ComDevicePath(int com);
// The current mapping, ascending by COM number.
std::vector<ComMapping> CurrentComMapping();
// "COM%d" for every mapped COM number; empty when none. Feeds ReadPortList.
std::vector<std::string> SerialPortNames();
// The /dev/serial/by-id/ link that leads to the device, or "" when none does
// (or when path is that link already). A replugged adapter may come back as
// another node; its by-id link stays the same.
std::string StableDeviceLink(const std::string& path, const std::string& byIdDir = "/dev/serial/by-id");
// One line per mapped COM: "COM3  /dev/ttyUSB0  <description>".
void PrintComMapping(std::ostream& out);
