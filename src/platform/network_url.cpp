#include "platform/network_url.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <arpa/inet.h>

namespace {

constexpr const char kTcp[] = "tcp://";
constexpr const char kTelnet[] = "rfc2217://";
constexpr size_t kMaxHostName = 253;
constexpr size_t kMaxLabel = 63;

// Schemes are matched without case, as URLs have them.
bool StartsWith(const std::string& text, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    return text.size() >= n && std::equal(prefix, prefix + n, text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// A DNS name: labels of letters, digits and hyphens (not at a label's ends), dots between.
bool IsHostName(const std::string& host)
{
    if (host.empty() || host.size() > kMaxHostName)
        return false;
    size_t start = 0;
    while (start <= host.size()) {
        size_t end = host.find('.', start);
        if (end == std::string::npos)
            end = host.size();
        const std::string label = host.substr(start, end - start);
        if (label.empty() || label.size() > kMaxLabel || label.front() == '-' || label.back() == '-')
            return false;
        if (!std::all_of(label.begin(), label.end(), [](char c) { return IsAlnum(c) || c == '-'; }))
            return false;
        start = end + 1;
    }
    return true;
}

bool IsHost(const std::string& host, bool bracketed)
{
    in6_addr v6{};
    in_addr v4{};
    if (bracketed)
        return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && host.find('\0') == std::string::npos;
    // Digits and dots only: an IPv4 address or nothing (getaddrinfo reads "1.2" as an address too).
    if (host.find_first_not_of("0123456789.") == std::string::npos)
        return inet_pton(AF_INET, host.c_str(), &v4) == 1 && host.find('\0') == std::string::npos;
    return IsHostName(host);
}

bool Fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

// "HOST:PORT" or "[V6]:PORT" into its parts.
bool SplitHostPort(const std::string& rest, std::string& host, std::string& portText, bool& bracketed)
{
    size_t colon = 0;
    bracketed = !rest.empty() && rest[0] == '[';
    if (bracketed) {
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

bool HasUrlScheme(const std::string& path)
{
    const size_t colon = path.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(path[0])))
        return false;
    return std::all_of(path.begin(), path.begin() + static_cast<long>(colon),
                       [](char c) { return IsAlnum(c) || c == '+' || c == '-' || c == '.'; });
}

bool NamesNetworkScheme(const std::string& path)
{
    return HasUrlScheme(path) && (StartsWith(path, "tcp:") || StartsWith(path, "rfc2217:"));
}

std::optional<NetworkUrl> ParseNetworkUrl(const std::string& path, std::string* error)
{
    if (!IsNetworkPath(path)) {
        Fail(error, "a network port is written tcp://HOST:PORT or rfc2217://HOST:PORT");
        return std::nullopt;
    }
    NetworkUrl url;
    url.telnet = StartsWith(path, kTelnet);
    const std::string rest = path.substr(url.telnet ? sizeof kTelnet - 1 : sizeof kTcp - 1);
    std::string portText;
    bool bracketed = false;
    if (!SplitHostPort(rest, url.host, portText, bracketed) || url.host.empty()) {
        Fail(error, "expected HOST:PORT (an IPv6 address in brackets, [::1]:PORT)");
        return std::nullopt;
    }
    if (!IsHost(url.host, bracketed)) {
        Fail(error, bracketed ? "the address in brackets is not an IPv6 address"
                              : "the host must be an IPv4 address, an IPv6 address in brackets, or a name of "
                                "at most 253 letters, digits, hyphens and dots");
        return std::nullopt;
    }
    if (!ParsePortNumber(portText, url.port) || url.port == 0) {
        Fail(error, "the port must be a number from 1 to 65535");
        return std::nullopt;
    }
    return url;
}
