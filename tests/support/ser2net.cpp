#include "support/ser2net.h"

#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/loopback_listener.h"

namespace {

std::string Config(const std::vector<Ser2net::Port>& ports)
{
    std::string yaml = "%YAML 1.1\n---\n";
    int n = 0;
    for (const Ser2net::Port& p : ports) {
        yaml += "connection: &com" + std::to_string(++n) + "\n";
        yaml += std::string("  accepter: ") + (p.rfc2217 ? "telnet(rfc2217)," : "") + "tcp,127.0.0.1," +
                std::to_string(p.port) + "\n";
        yaml += "  connector: serialdev," + p.device + ",9600o81,local\n";
        yaml += "  options:\n    kickolduser: true\n";
    }
    return yaml;
}

bool Accepts(uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0)
        close(fd);
    return ok;
}

} // namespace

std::string Ser2net::Url(const Port& port)
{
    return std::string(port.rfc2217 ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(port.port);
}

bool Ser2net::Start(std::vector<Port>& ports, std::string* error)
{
    for (Port& p : ports)
        if (p.port == 0)
            p.port = UnusedLoopbackPort();
    ports_ = ports;
    WriteFileText(dir_.file("ser2net.yaml"), Config(ports));
    return Restart(error);
}

bool Ser2net::Restart(std::string* error)
{
    if (access(Program(), X_OK) != 0) {
        *error = std::string(Program()) + " is missing: run scripts/setup.sh";
        return false;
    }
    // -n: stay in the foreground; -u: no UUCP lock files.
    if (!process_.Start(Program(), {"-n", "-u", "-c", dir_.file("ser2net.yaml"), "-P", dir_.file("pid")}, error))
        return false;
    for (const Port& p : ports_) {
        bool up = false;
        for (int i = 0; i < 500 && !(up = Accepts(p.port)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!up) {
            *error = "ser2net does not listen on 127.0.0.1:" + std::to_string(p.port);
            return false;
        }
    }
    return true;
}
