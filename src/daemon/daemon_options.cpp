#include "daemon/daemon_options.h"

#include <cmath>
#include <cstdlib>

#include "platform/port_enumeration.h"

namespace {

bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value, std::string* error)
{
    const std::string& arg = args[i];
    if (const size_t equals = arg.find('='); equals != std::string::npos) {
        value = arg.substr(equals + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool IsOption(const std::string& arg, const char* name)
{
    return arg == name || arg.rfind(std::string(name) + "=", 0) == 0;
}

} // namespace

const char* DaemonUsage()
{
    return "usage: jx_monitord [OPTIONS] [PORTS]\n"
           "Monitors up to 16 receivers without a window and serves their state to Prometheus.\n"
           "\n"
           "  --config FILE    read FILE instead of /etc/jx-monitord.conf (a missing default\n"
           "                   file means the defaults: metrics on 127.0.0.1:9717, no recording)\n"
           "  --demo           serve three simulated receivers\n"
           "  --quit-after S   stop after S seconds (for tests)\n"
           "  -h, --help       show this text and exit\n"
           "  --version        print the version and exit\n"
           "\n"
           "PORTS as jx_monitor takes them: --comN=PATH (N from 1 to 16), bare device paths\n"
           "(/dev/ttyUSB0) and network ports (tcp://HOST:PORT, rfc2217://HOST:PORT); they come\n"
           "before the [ports] of the configuration file.\n"
           "\n"
           "GET /metrics is the Prometheus text format, GET /healthz answers 200 while the\n"
           "receivers are serviced. Exit status 2: a bad argument or configuration.\n";
}

bool ParseDaemonOptions(std::vector<std::string> args, DaemonOptions& options, std::string* error)
{
    // Ours first, so that an option's value (--config /dev/...) is not taken for a port.
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (IsOption(arg, "--config")) {
            if (!TakeValue(args, i, value, error))
                return false;
            if (value.empty()) {
                *error = "--config needs a file name";
                return false;
            }
            options.configFile = value;
        } else if (IsOption(arg, "--quit-after")) {
            if (!TakeValue(args, i, value, error))
                return false;
            char* end = nullptr;
            options.quitAfterS = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(options.quitAfterS >= 0 && options.quitAfterS <= 2147483.0)) {
                *error = "--quit-after needs a number of seconds, not '" + value + "'";
                return false;
            }
        } else {
            rest.push_back(arg);
        }
    }
    if (!TakeComArguments(rest, error))
        return false;
    if (!rest.empty()) {
        *error = "unknown argument '" + rest.front() + "' (see --help)";
        return false;
    }
    return true;
}
