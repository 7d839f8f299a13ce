#include "sim/tcp_line.h"

#include <cerrno>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

TcpLine::~TcpLine()
{
    DropClient();
    if (listenFd_ >= 0)
        close(listenFd_);
}

bool TcpLine::Listen(const std::string& host, uint16_t port, std::string* error)
{
    addrinfo hints{};
    hints.ai_family = host.empty() ? AF_INET6 : AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(host.empty() ? nullptr : host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (rc != 0) {
        *error = "cannot listen on " + host + ": " + gai_strerror(rc);
        return false;
    }
    const addrinfo& a = *list;
    listenFd_ = socket(a.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const int off = 0;
    if (listenFd_ >= 0) {
        setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (a.ai_family == AF_INET6) // every address means IPv4 as well
            setsockopt(listenFd_, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    }
    const bool ok = listenFd_ >= 0 && bind(listenFd_, a.ai_addr, a.ai_addrlen) == 0 && listen(listenFd_, 4) == 0;
    freeaddrinfo(list);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (!ok || getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        *error = "cannot listen on port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    host_ = host;
    return true;
}

std::string TcpLine::Name() const
{
    // Every address includes the loopback one, which is what a local monitor uses.
    const std::string host = host_.empty() ? "127.0.0.1" : host_;
    const bool v6 = host.find(':') != std::string::npos;
    return "tcp://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port_);
}

void TcpLine::TakeClient()
{
    if (clientFd_ >= 0)
        return;
    clientFd_ = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (clientFd_ >= 0) {
        const int on = 1;
        setsockopt(clientFd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
}

void TcpLine::DropClient()
{
    if (clientFd_ >= 0)
        close(clientFd_);
    clientFd_ = -1;
}

long TcpLine::Read(uint8_t* buffer, size_t maxBytes)
{
    TakeClient();
    if (clientFd_ < 0)
        return 0;
    const ssize_t got = recv(clientFd_, buffer, maxBytes, 0);
    if (got > 0)
        return got;
    if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
        DropClient(); // hung up: wait for the next one
    return 0;
}

long TcpLine::Write(const uint8_t* bytes, size_t count)
{
    TakeClient();
    if (clientFd_ < 0)
        return static_cast<long>(count); // no one listens: the bytes go nowhere, as on an open line
    const ssize_t put = send(clientFd_, bytes, count, MSG_NOSIGNAL);
    if (put >= 0)
        return put;
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        DropClient();
    return 0;
}

void TcpLine::AddPollFds(std::vector<pollfd>& fds) const
{
    fds.push_back({clientFd_ >= 0 ? clientFd_ : listenFd_, POLLIN, 0});
}
