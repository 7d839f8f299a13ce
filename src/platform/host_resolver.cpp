#include "platform/host_resolver.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include <netdb.h>

struct HostResolver::Answer {
    mutable std::mutex mutex;
    std::atomic<bool> done{false};
    std::vector<SocketAddress> addresses;
    std::string error;
};

namespace {

// getaddrinfo; returns its code and appends the addresses.
int Lookup(const std::string& host, uint16_t port, int flags, std::vector<SocketAddress>& out)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    for (addrinfo* a = list; rc == 0 && a; a = a->ai_next) {
        SocketAddress address;
        std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
        address.length = a->ai_addrlen;
        address.family = a->ai_family;
        out.push_back(address);
    }
    if (list)
        freeaddrinfo(list);
    return rc;
}

} // namespace

HostResolver::HostResolver(const std::string& host, uint16_t port) : answer_(std::make_shared<Answer>())
{
    if (Lookup(host, port, AI_NUMERICHOST, answer_->addresses) == 0) {
        answer_->done = true;
        return;
    }
    // A name may need the network's name service, which can take seconds.
    std::thread([answer = answer_, host, port] {
        std::vector<SocketAddress> addresses;
        const int rc = Lookup(host, port, 0, addresses);
        std::lock_guard lock(answer->mutex);
        answer->addresses = std::move(addresses);
        if (rc != 0)
            answer->error = "cannot resolve " + host + ": " + gai_strerror(rc);
        answer->done = true;
    }).detach();
}

bool HostResolver::Done() const { return answer_->done; }

std::vector<SocketAddress> HostResolver::Addresses() const
{
    std::lock_guard lock(answer_->mutex);
    return answer_->addresses;
}

std::string HostResolver::Error() const
{
    std::lock_guard lock(answer_->mutex);
    return answer_->error;
}
