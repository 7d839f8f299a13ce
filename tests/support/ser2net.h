// The real ser2net (Debian package, version 4) in front of serial devices,
// listening on 127.0.0.1 only, with a YAML configuration written by the test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "support/temp_dir.h"

class Ser2net {
public:
    struct Port {
        std::string device; // e.g. /dev/pts/7
        bool rfc2217 = false;
        uint16_t port = 0; // filled by Start when 0
    };

    static const char* Program() { return "/usr/sbin/ser2net"; }
    // Writes the configuration and starts ser2net; returns once every port
    // accepts connections. False (error filled) when it could not.
    bool Start(std::vector<Port>& ports, std::string* error);
    // Starts it again with the ports of the last Start.
    bool Restart(std::string* error);
    void Stop() { process_.Stop(); }
    // "tcp://127.0.0.1:P" or "rfc2217://127.0.0.1:P".
    static std::string Url(const Port& port);

private:
    TempDir dir_;
    std::vector<Port> ports_;
    ChildProcess process_;
};
