#include "daemon/service_notify.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::optional<int64_t> WatchdogFromEnvironment()
{
    const char* usec = std::getenv("WATCHDOG_USEC");
    const char* pid = std::getenv("WATCHDOG_PID");
    if (usec == nullptr)
        return std::nullopt;
    if (pid != nullptr && std::strtoll(pid, nullptr, 10) != static_cast<long long>(getpid()))
        return std::nullopt;
    const long long value = std::strtoll(usec, nullptr, 10);
    if (value <= 0)
        return std::nullopt;
    return static_cast<int64_t>(value / 1000);
}

} // namespace

ServiceNotifier::ServiceNotifier()
{
    const char* socketPath = std::getenv("NOTIFY_SOCKET");
    if (socketPath == nullptr || (socketPath[0] != '/' && socketPath[0] != '@'))
        return;
    address_ = socketPath;
    if (address_.size() >= sizeof(sockaddr_un::sun_path))
        return;
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    watchdogMs_ = WatchdogFromEnvironment();
}

ServiceNotifier::~ServiceNotifier()
{
    if (fd_ >= 0)
        close(fd_);
}

bool ServiceNotifier::Send(const std::string& message)
{
    if (fd_ < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, address_.data(), address_.size());
    if (addr.sun_path[0] == '@')
        addr.sun_path[0] = '\0'; // an abstract socket
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address_.size());
    const ssize_t sent = sendto(fd_, message.data(), message.size(), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&addr), length);
    return sent == static_cast<ssize_t>(message.size());
}

void ServiceNotifier::KeepAlive(int64_t nowMs)
{
    if (!watchdogMs_ || (lastKeepAliveMs_ && nowMs - *lastKeepAliveMs_ < *watchdogMs_ / 2))
        return;
    if (Send("WATCHDOG=1"))
        lastKeepAliveMs_ = nowMs;
}
