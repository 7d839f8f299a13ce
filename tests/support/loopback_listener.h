// A TCP listener on the loopback address for tests of network ports: the
// test plays the device server on the connection it accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LoopbackListener {
public:
    // Listens on 127.0.0.1 (or ::1 when v6) on a free port; ok() tells whether it did.
    // backlog 0 with one connection left unaccepted makes a listener that never answers.
    explicit LoopbackListener(bool v6 = false, int backlog = 4);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    bool ok() const { return listenFd_ >= 0; }
    uint16_t port() const { return port_; }
    // "tcp://127.0.0.1:P" or "rfc2217://[::1]:P".
    std::string Url(const char* scheme) const;

    // Accepts the next connection within the timeout; false when none came.
    bool Accept(int timeoutMs = 2000);
    // On the accepted connection.
    bool Write(const std::vector<uint8_t>& bytes);
    // Reads until count bytes arrived or the timeout passed; returns what came.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 2000);
    void CloseConnection();
    void CloseListener();

private:
    int listenFd_ = -1;
    int connFd_ = -1;
    uint16_t port_ = 0;
    bool v6_ = false;
};

// A loopback port where nothing listens (it was free a moment ago).
uint16_t UnusedLoopbackPort();
