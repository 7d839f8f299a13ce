// Turns a host and port into socket addresses without blocking the caller:
// numeric addresses at once, host names on a short-lived thread of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <sys/socket.h>

struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    int family = 0;
};

class HostResolver {
public:
    HostResolver(const std::string& host, uint16_t port);
    // True once the answer (addresses or an error) is in.
    bool Done() const;
    // Valid once Done(): the addresses, empty when the name did not resolve.
    std::vector<SocketAddress> Addresses() const;
    std::string Error() const;

private:
    struct Answer;
    std::shared_ptr<Answer> answer_; // shared with the lookup thread, which may outlive us
};
