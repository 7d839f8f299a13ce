// Network serial ports named by URL: tcp://HOST:PORT is a raw byte stream,
// rfc2217://HOST:PORT a Telnet connection that also carries the line settings.
// HOST is an IPv4 address, an IPv6 address in brackets, or a host name
// (letters, digits, hyphens and dots, at most 253).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct NetworkUrl {
    bool telnet = false; // rfc2217://
    std::string host;    // without brackets
    uint16_t port = 0;
};

// True when the path names a network port (by its scheme, in any case), valid or not.
bool IsNetworkPath(const std::string& path);
// True when the path starts like a URL ("name:"), a known scheme or not.
bool HasUrlScheme(const std::string& path);
// True when that scheme is tcp or rfc2217 (in any case), however malformed the rest.
bool NamesNetworkScheme(const std::string& path);
// True for tcp://: a raw byte stream, whose line settings are the server's business.
bool IsRawTcpPath(const std::string& path);
// Decimal digits only, 0 to 65535.
bool ParsePortNumber(const std::string& text, uint16_t& port);
// The parts of a network URL; nothing (and error filled) when it is malformed.
std::optional<NetworkUrl> ParseNetworkUrl(const std::string& path, std::string* error = nullptr);
