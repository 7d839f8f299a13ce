// COM numbers for Linux serial devices: from the command line, then from the
// devices present, in the order USB adapters, ACM adapters, built-in UARTs.
#include "platform/port_enumeration.h"
#include "platform/network_url.h"
#include "platform/device_openers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxCom = 16;
const char* const kGroups[] = {"ttyUSB", "ttyACM", "ttyS"};

std::map<int, ComMapping>& Mapping()
{
    static std::map<int, ComMapping> mapping;
    return mapping;
}

// Decimal digits only, no sign or blanks; -1 otherwise.
int ParseNumber(const std::string& text)
{
    if (text.empty() || text.size() > 6)
        return -1;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

fs::path SysTty(const std::string& name) { return fs::path("/sys/class/tty") / name; }

// Walks up the device tree a few levels for the USB product name and the
// first driver that says more than the generic serial core ("port", "ctrl").
std::string DescribeDevice(const std::string& path)
{
    if (IsNetworkPath(path))
        return IsRawTcpPath(path) ? "network port, raw TCP" : "network port, Telnet RFC 2217";
    const std::string name = fs::path(path).filename().string();
    std::error_code ec;
    fs::path dir = fs::canonical(SysTty(name) / "device", ec);
    std::string product;
    std::string driver;
    for (int level = 0; !ec && level < 4 && dir.has_relative_path(); ++level) {
        if (product.empty())
            product = ReadFirstLine(dir / "product");
        std::error_code linkError;
        const std::string d = fs::read_symlink(dir / "driver", linkError).filename().string();
        if (driver.empty() && !d.empty() && d != "port" && d != "ctrl")
            driver = d;
        dir = dir.parent_path();
    }
    if (product.empty() && name.rfind("ttyS", 0) == 0)
        product = "built-in UART";
    if (!product.empty() && !driver.empty())
        return product + " (" + driver + ")";
    return product.empty() ? driver : product;
}

// A built-in UART node exists for every possible port; only those with a known type are real.
bool UartPresent(const std::string& name)
{
    const std::string type = ReadFirstLine(SysTty(name) / "type");
    if (!type.empty())
        return type != "0";
    const int fd = open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool present = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    close(fd);
    return present;
}

int FirstFreeCom()
{
    for (int com = 1; com <= kMaxCom; ++com) {
        if (!Mapping().count(com))
            return com;
    }
    return 0;
}

int ComOfPath(const std::string& path)
{
    for (const auto& [com, m] : Mapping()) {
        if (m.path == path)
            return com;
    }
    return 0;
}

// Maps one device; fills error and returns false when the mapping is refused.
bool MapChecked(int com, const std::string& path, const std::string& argument, std::string* error)
{
    const std::string problem = RefusePortMapping(com, path, CurrentComMapping());
    if (problem.empty()) {
        SetComDevice(com, path);
        return true;
    }
    if (error)
        *error = "bad port argument \"" + PrintableText(argument) + "\": " + problem;
    return false;
}

// "--comN=PATH" -> N and PATH; N is -1 when the argument is malformed.
int SplitComArgument(const std::string& arg, std::string& path)
{
    const size_t eq = arg.find('=');
    if (eq == std::string::npos)
        return -1;
    path = arg.substr(eq + 1);
    return ParseComNumber(arg.substr(5, eq - 5));
}

} // namespace

int ParseComNumber(const std::string& digits)
{
    const int n = ParseNumber(digits);
    return n >= 1 && n <= kMaxCom ? n : -1;
}

std::string PrintableText(const std::string& text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string RefusePortMapping(int com, const std::string& path, const std::vector<ComMapping>& mapping)
{
    std::string urlError;
    const auto taken = [&](auto match) { return std::find_if(mapping.begin(), mapping.end(), match); };
    if (path.empty())
        return "empty device path";
    if (std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return "the device path holds a control character";
    if ((IsNetworkPath(path) || NamesNetworkScheme(path)) && !ParseNetworkUrl(path, &urlError))
        return urlError;
    if (!IsNetworkPath(path) && HasUrlScheme(path))
        return "\"" + PrintableText(path.substr(0, path.find(':') + 1)) +
               "\" is no network port: use tcp://HOST:PORT or rfc2217://HOST:PORT, or a device path";
    if (com == 0)
        return "no free COM number left (COM1 to COM16 are all mapped)";
    if (const auto m = taken([&](const ComMapping& e) { return e.com == com; }); m != mapping.end())
        return "COM" + std::to_string(com) + " is already mapped to " + PrintableText(m->path);
    if (const auto m = taken([&](const ComMapping& e) { return e.path == path; }); m != mapping.end())
        return PrintableText(path) + " is already mapped to COM" + std::to_string(m->com);
    return {};
}

bool TakeComArguments(std::vector<std::string>& args, std::string* error)
{
    std::vector<std::string> rest;
    std::vector<std::string> bare;
    bool ok = true;
    for (const std::string& arg : args) {
        if (arg.rfind("/dev/", 0) == 0 || NamesNetworkScheme(arg)) {
            bare.push_back(arg);
        } else if (arg.rfind("--com", 0) == 0) {
            std::string path;
            const int com = SplitComArgument(arg, path);
            if (com < 1) {
                if (ok && error)
                    *error = "bad port argument \"" + PrintableText(arg) + "\": use --comN=PATH with N from 1 to 16";
                ok = false;
            } else if (ok) {
                ok = MapChecked(com, path, arg, error);
            }
        } else {
            rest.push_back(arg);
        }
    }
    // Bare devices and URLs take the numbers the explicit ones left, lowest first.
    for (const std::string& path : bare) {
        if (ok)
            ok = MapChecked(FirstFreeCom(), path, path, error);
    }
    args = std::move(rest);
    return ok;
}

std::vector<std::string> OrderSerialDeviceNames(const std::vector<std::string>& names)
{
    std::vector<std::string> ordered;
    for (const char* group : kGroups) {
        const std::string prefix = group;
        std::vector<std::pair<int, std::string>> found;
        for (const std::string& name : names) {
            if (name.rfind(prefix, 0) != 0)
                continue;
            const int number = ParseNumber(name.substr(prefix.size()));
            if (number >= 0)
                found.emplace_back(number, name);
        }
        std::sort(found.begin(), found.end());
        for (const auto& entry : found)
            ordered.push_back(entry.second);
    }
    return ordered;
}

std::vector<std::string> PresentSerialDevices()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec))
        names.push_back(entry.path().filename().string());
    std::vector<std::string> paths;
    for (const std::string& name : OrderSerialDeviceNames(names)) {
        if (name.rfind("ttyS", 0) == 0 && !UartPresent(name))
            continue;
        paths.push_back("/dev/" + name);
    }
    return paths;
}

void MapPresentDevices()
{
    for (const std::string& path : PresentSerialDevices()) {
        const int com = FirstFreeCom();
        if (com == 0)
            return;
        if (!ComOfPath(path))
            SetComDevice(com, path);
    }
}

void SetComDevice(int com, const std::string& path)
{
    const std::string description =
        IsReplayPath(path) ? "replay: " + fs::path(path.substr(std::string(kReplayPathPrefix).size())).filename().string()
                           : DescribeDevice(path);
    Mapping()[com] = ComMapping{com, path, description};
}

void RemoveComDevice(int com) { Mapping().erase(com); }

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

std::string StableDeviceLink(const std::string& path, const std::string& byIdDir)
{
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec)
        return {};
    for (const auto& entry : std::filesystem::directory_iterator(byIdDir, ec)) {
        std::error_code linkEc;
        if (entry.path() == std::filesystem::path(path))
            return {};
        if (std::filesystem::canonical(entry.path(), linkEc) == target && !linkEc)
            return entry.path().string();
    }
    return {};
}

void PrintComMapping(std::ostream& out)
{
    for (const ComMapping& m : CurrentComMapping()) {
        out << "COM" << m.com << "  " << PrintableText(m.path);
        if (!m.description.empty())
            out << "  " << PrintableText(m.description);
        out << '\n';
    }
}
