// A simulated receiver's line on a TCP port: one client at a time gets the
// receiver's byte stream and may send it commands; when it hangs up, the next
// one is taken. Nobody connected: the receiver talks to no one.
#pragma once

#include <cstdint>
#include <string>

#include "sim/line_end.h"

class TcpLine : public LineEnd {
public:
    TcpLine() = default;
    TcpLine(const TcpLine&) = delete;
    TcpLine& operator=(const TcpLine&) = delete;
    ~TcpLine() override;

    // Listens on host (an address; "" for every address) and port (0: any free one).
    bool Listen(const std::string& host, uint16_t port, std::string* error);
    uint16_t Port() const { return port_; }

    std::string Name() const override;
    long Read(uint8_t* buffer, size_t maxBytes) override;
    long Write(const uint8_t* bytes, size_t count) override;
    int PeerBaud() const override { return 0; }
    void AddPollFds(std::vector<pollfd>& fds) const override;

private:
    void TakeClient();
    void DropClient();

    int listenFd_ = -1;
    int clientFd_ = -1;
    uint16_t port_ = 0;
    std::string host_;
};
