#include "support/loopback_listener.h"

#include <algorithm>
#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/pty.h"

namespace {

int Listen(bool v6, int backlog, uint16_t& port)
{
    const int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        length = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *a;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 || listen(fd, backlog) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                    : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    return fd;
}

} // namespace

LoopbackListener::LoopbackListener(bool v6, int backlog) : v6_(v6) { listenFd_ = Listen(v6, backlog, port_); }

LoopbackListener::~LoopbackListener()
{
    CloseConnection();
    CloseListener();
}

std::string LoopbackListener::Url(const char* scheme) const
{
    return std::string(scheme) + "://" + (v6_ ? "[::1]" : "127.0.0.1") + ":" + std::to_string(port_);
}

bool LoopbackListener::Accept(int timeoutMs)
{
    if (listenFd_ < 0 || !WaitReadable(listenFd_, timeoutMs))
        return false;
    CloseConnection();
    connFd_ = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return connFd_ >= 0;
}

bool LoopbackListener::Write(const std::vector<uint8_t>& bytes)
{
    return connFd_ >= 0 && send(connFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

std::vector<uint8_t> LoopbackListener::Read(size_t count, int timeoutMs)
{
    std::vector<uint8_t> out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t chunk[4096];
    while (connFd_ >= 0 && out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !WaitReadable(connFd_, static_cast<int>(left.count())))
            break;
        const ssize_t n = recv(connFd_, chunk, std::min(sizeof chunk, count - out.size()), 0);
        if (n <= 0)
            break;
        out.insert(out.end(), chunk, chunk + n);
    }
    return out;
}

void LoopbackListener::CloseConnection()
{
    if (connFd_ >= 0)
        close(connFd_);
    connFd_ = -1;
}

void LoopbackListener::CloseListener()
{
    if (listenFd_ >= 0)
        close(listenFd_);
    listenFd_ = -1;
}

uint16_t UnusedLoopbackPort()
{
    LoopbackListener probe;
    return probe.port();
}
