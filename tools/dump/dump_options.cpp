#include "dump_options.h"

#include <charconv>

#ifndef JX_VERSION
#define JX_VERSION "unknown"
#endif

namespace {

const char kUsage[] =
    "usage: zelk_dump [OPTION]... [FILE|DEVICE|URL|-]...\n"
    "Decodes ZELK packets from raw recordings, standard input or a live serial\n"
    "port: one line per packet, then the count of packets per id.\n"
    "\n"
    "Inputs: every FILE given is read, in order, as one stream (as if\n"
    "concatenated); offsets count from the start of the first. '-' or no input\n"
    "reads standard input. A character device under /dev/ is opened as a live\n"
    "port and read until Ctrl-C; so is a network port, tcp://HOST:PORT (raw)\n"
    "or rfc2217://HOST:PORT (Telnet, line settings sent to the device server).\n"
    "A FIFO must have a writer already. Ctrl-C or\n"
    "SIGTERM ends any input at once; the summary of what was read follows.\n"
    "\n"
    "Options:\n"
    "  --json        one JSON object per packet (JSON Lines); summary to stderr\n"
    "  --hex         add every packet's data bytes in hex, decoded or not\n"
    "  --times       start each line with the time the packet was received (UTC),\n"
    "                from the recording's time index FILE.idx; one FILE only\n"
    "  --csv         one row per position report, after a header row: GPS week\n"
    "                and time of week of the latest time report, time of fix,\n"
    "                latitude and longitude in degrees, altitude, velocities,\n"
    "                fix mode, SV count and DOPs; a value never reported is an\n"
    "                empty cell; summary to stderr\n"
    "  --gpx         the track of position reports as GPX 1.1; summary to stderr\n"
    "  --kml         the track of position reports as KML 2.2; summary to stderr\n"
    "  --stability   clock stability of the receiver: overlapping Allan, modified\n"
    "                Allan and time deviation of the clock bias of the position\n"
    "                and 0x54 clock reports (placed by time of fix) at averaging\n"
    "                times of 1 s, 2 s, 4 s ... up to a tenth of the span, each\n"
    "                with its 68 % confidence interval, taken on the longest run\n"
    "                without a gap; with --csv as CSV; summary to stderr\n"
    "  --baud N      bit rate of a live port (default 9600); also --baud=N\n"
    "  --line DPS    data bits 5-8, parity N, O or E and stop bits 1 or 2 of a\n"
    "                live port (default 8O1); also --line=DPS\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Exit status: 0 when the input was read, 1 when an input could not be\n"
    "opened or read, 2 for a wrong command line.\n";

bool ParseInt(const std::string& text, int* value)
{
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && at == end && !text.empty();
}

// "8O1": data bits 5..8, parity N/O/E, stop bits 1 or 2.
bool ParseLine(const std::string& text, LineSettings* line)
{
    if (text.size() != 3 || text[0] < '5' || text[0] > '8' || (text[2] != '1' && text[2] != '2'))
        return false;
    const std::string parities = "NOE";
    const size_t parity = parities.find(static_cast<char>(text[1] & ~0x20)); // either case
    if (parity == std::string::npos)
        return false;
    line->dataBits = text[0] - '0';
    line->parity = static_cast<int>(parity);
    line->stopBits = text[2] == '1' ? 0 : 2;
    return true;
}

bool IsOutputOption(const std::string& a, DumpOutput* output)
{
    static const struct {
        const char* name;
        DumpOutput output;
    } kOutputs[] = {{"--json", DumpOutput::Json}, {"--csv", DumpOutput::Csv}, {"--gpx", DumpOutput::Gpx},
                    {"--kml", DumpOutput::Kml}};
    for (const auto& o : kOutputs)
        if (a == o.name) {
            *output = o.output;
            return true;
        }
    return false;
}

// "--baud=N" and "--line=DPS" as two arguments each, up to a "--".
std::vector<std::string> SplitValues(const std::vector<std::string>& args)
{
    std::vector<std::string> split;
    bool inputsOnly = false;
    for (const std::string& a : args) {
        if (!inputsOnly && (a.rfind("--baud=", 0) == 0 || a.rfind("--line=", 0) == 0)) {
            split.push_back(a.substr(0, 6));
            split.push_back(a.substr(7));
        } else {
            split.push_back(a);
        }
        inputsOnly = inputsOnly || a == "--";
    }
    return split;
}

} // namespace

const char* DumpUsage() { return kUsage; }

std::string DumpVersion() { return std::string("zelk_dump ") + JX_VERSION; }

DumpAction ParseDumpOptions(const std::vector<std::string>& given, DumpOptions* options, std::string* error)
{
    const std::vector<std::string> args = SplitValues(given);
    bool inputsOnly = false;
    bool stability = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (inputsOnly || a == "-" || a.empty() || a[0] != '-') {
            options->inputs.push_back(a);
        } else if (a == "--") {
            inputsOnly = true;
        } else if (a == "--help" || a == "-h") {
            return DumpAction::Help;
        } else if (a == "--version") {
            return DumpAction::Version;
        } else if (a == "--hex") {
            options->hex = true;
        } else if (a == "--times") {
            options->times = true;
        } else if (a == "--stability") {
            stability = true;
        } else if (IsOutputOption(a, &options->output)) {
        } else if (a == "--baud" && hasValue) {
            if (!ParseInt(args[++i], &options->line.baud) || options->line.baud <= 0) {
                *error = "--baud needs a positive bit rate, not '" + args[i] + "'";
                return DumpAction::Error;
            }
        } else if (a == "--line" && hasValue) {
            if (!ParseLine(args[++i], &options->line)) {
                *error = "--line needs data bits 5-8, parity N/O/E and stop bits 1/2 (like 8O1), not '" +
                         args[i] + "'";
                return DumpAction::Error;
            }
        } else {
            *error = (a == "--baud" || a == "--line") ? a + " needs a value" : "unknown option '" + a + "'";
            return DumpAction::Error;
        }
    }
    if (options->times && (options->inputs.size() != 1 || options->inputs[0] == "-" ||
                           (options->output != DumpOutput::Text && options->output != DumpOutput::Json))) {
        *error = "--times needs one recording FILE and text or JSON output";
        return DumpAction::Error;
    }
    if (stability) {
        if (options->output != DumpOutput::Text && options->output != DumpOutput::Csv) {
            *error = "--stability goes with --csv only";
            return DumpAction::Error;
        }
        options->output = options->output == DumpOutput::Csv ? DumpOutput::StabilityCsv : DumpOutput::Stability;
    }
    return DumpAction::Run;
}
