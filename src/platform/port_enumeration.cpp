// Placeholder mapping store until the device enumeration lands.
#include "platform/port_enumeration.h"

#include <map>

namespace {
std::map<int, ComMapping>& Mapping()
{
    static std::map<int, ComMapping> mapping;
    return mapping;
}
} // namespace

bool TakeComArguments(std::vector<std::string>&, std::string*) { return true; }
void MapPresentDevices() {}
void SetComDevice(int com, const std::string& path) { Mapping()[com] = ComMapping{com, path, ""}; }
void ClearComMapping() { Mapping().clear(); }

std::string ComDevicePath(int com)
{
    auto it = Mapping().find(com);
    return it == Mapping().end() ? std::string() : it->second.path;
}

std::vector<ComMapping> CurrentComMapping()
{
    std::vector<ComMapping> out;
    for (const auto& [com, m] : Mapping())
        out.push_back(m);
    return out;
}

std::vector<std::string> SerialPortNames()
{
    std::vector<std::string> names;
    for (const auto& [com, m] : Mapping())
        names.push_back("COM" + std::to_string(com));
    return names;
}
