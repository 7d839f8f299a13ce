#include "sim/listen_option.h"

#include "platform/network_url.h"

namespace {

// "PORT", "HOST:PORT" or "[V6]:PORT".
bool ParseListenValue(const std::string& value, ListenOption& out)
{
    const size_t colon = value.rfind(':');
    if (colon == std::string::npos)
        return ParsePortNumber(value, out.port);
    std::string host = value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    else if (host.find(':') != std::string::npos)
        return false;
    out.host = host;
    return !host.empty() && ParsePortNumber(value.substr(colon + 1), out.port);
}

} // namespace

bool TakeListenOption(std::vector<std::string>& args, ListenOption* out, std::string* error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--listen")
            continue;
        if (i + 1 >= args.size() || !ParseListenValue(args[i + 1], *out)) {
            *error = "--listen needs [HOST:]PORT with PORT from 0 to 65535";
            return false;
        }
        out->on = true;
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

bool AddLine(LineRunner& runner, std::unique_ptr<LineSource> source, const ListenOption& listen, int index,
             std::string* error)
{
    if (!listen.on)
        return runner.Add(std::move(source), error);
    const unsigned port = listen.port == 0 ? 0u : listen.port + static_cast<unsigned>(index);
    if (port > 65535) {
        *error = "--listen: port " + std::to_string(port) + " is out of range";
        return false;
    }
    return runner.AddListening(std::move(source), listen.host, static_cast<uint16_t>(port), error);
}

const char* ListenUsage()
{
    return "  --listen [HOST:]PORT  serve the receivers on TCP ports PORT, PORT+1, ... (0: any\n"
           "                        free ports) on HOST or every address instead of pseudo-\n"
           "                        terminals; one URL per line on standard output\n";
}
