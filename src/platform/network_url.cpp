#include "platform/network_url.h"

#include <cctype>

namespace {

constexpr const char kTcp[] = "tcp://";
constexpr const char kTelnet[] = "rfc2217://";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool Fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

// "HOST:PORT" or "[V6]:PORT" into its parts.
bool SplitHostPort(const std::string& rest, std::string& host, std::string& portText)
{
    size_t colon = 0;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return false;
        host = rest.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.rfind(':');
        if (colon == std::string::npos)
            return false;
        host = rest.substr(0, colon);
        if (host.find(':') != std::string::npos) // a bare IPv6 address needs brackets
            return false;
    }
    portText = rest.substr(colon + 1);
    return true;
}

} // namespace

bool ParsePortNumber(const std::string& text, uint16_t& port)
{
    if (text.empty() || text.size() > 5)
        return false;
    unsigned value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    port = static_cast<uint16_t>(value);
    return value <= 65535;
}

bool IsRawTcpPath(const std::string& path) { return StartsWith(path, kTcp); }

bool IsNetworkPath(const std::string& path) { return StartsWith(path, kTcp) || StartsWith(path, kTelnet); }

std::optional<NetworkUrl> ParseNetworkUrl(const std::string& path, std::string* error)
{
    if (!IsNetworkPath(path)) {
        Fail(error, "use tcp://HOST:PORT or rfc2217://HOST:PORT");
        return std::nullopt;
    }
    NetworkUrl url;
    url.telnet = StartsWith(path, kTelnet);
    const std::string rest = path.substr(url.telnet ? sizeof kTelnet - 1 : sizeof kTcp - 1);
    std::string portText;
    if (!SplitHostPort(rest, url.host, portText) || url.host.empty()) {
        Fail(error, "expected HOST:PORT (an IPv6 address in brackets, [::1]:PORT)");
        return std::nullopt;
    }
    if (!ParsePortNumber(portText, url.port) || url.port == 0) {
        Fail(error, "the port must be a number from 1 to 65535");
        return std::nullopt;
    }
    return url;
}
