#include "longrun_options.h"

#include <cstdlib>

const char kLongRunUsage[] =
    "usage: jx_longrun [--hours H] [--dir DIR] [--keep] [--tx-all]\n"
    "       jx_longrun -h | --help | --version\n"
    "  16 simulated receivers at 38400 bit/s, all monitored, data logging and raw\n"
    "  recording on, for H hours of virtual time (default 24). --tx-all keeps\n"
    "  Tx-All lit, so the periodic queries go to every receiver.\n";

namespace {

bool ParseHours(const std::string& text, double& hours)
{
    char* end = nullptr;
    const double h = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(h > 0) || h > 24 * 366)
        return false;
    hours = h;
    return true;
}

} // namespace

bool ParseLongRunOptions(const std::vector<std::string>& args, LongRunOptions& options, bool& help, std::string* error)
{
    help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "--keep") {
            options.keep = true;
        } else if (a == "--tx-all") {
            options.txAll = true;
        } else if (a == "--hours" && hasValue) {
            if (!ParseHours(args[++i], options.hours)) {
                *error = "bad --hours value: " + args[i];
                return false;
            }
        } else if (a == "--dir" && hasValue) {
            options.dir = args[++i];
        } else {
            *error = "unknown or incomplete option: " + a;
            return false;
        }
    }
    return true;
}
