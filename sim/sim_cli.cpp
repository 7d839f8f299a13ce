#include "sim/sim_cli.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

bool ToNumber(const std::string& text, double* value)
{
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool ToPrnList(const std::string& text, std::vector<int>* prns)
{
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        double v = 0;
        if (!ToNumber(item, &v) || v < 1 || v > 32)
            return false;
        prns->push_back(static_cast<int>(v));
    }
    return !prns->empty();
}

// Settings that apply to every simulated receiver, given before or after --count.
struct Overrides {
    bool place = false;
    double lat = 0, lon = 0, alt = 0;
    double radius = 0, speed = 0;
    bool seed = false;
    double seedValue = 0;
    std::vector<int> noAlmanac, noEphemeris;
    bool antennaFault = false;
    int model = -1; // -1: each index's own; 0 classic; 1 timing
};

bool ApplyOption(const std::string& name, const std::string& value, Overrides* o, SimCommandLine* out)
{
    double v = 0;
    if (name == "--no-almanac")
        return ToPrnList(value, &o->noAlmanac);
    if (name == "--no-ephemeris")
        return ToPrnList(value, &o->noEphemeris);
    if (name == "--replay") {
        out->replayFile = value;
        return !value.empty();
    }
    // Whole numbers in a range any int holds, so the conversions below are safe.
    if (!ToNumber(value, &v) || !(std::fabs(v) < 1e9))
        return false;
    if (name == "--count") out->count = static_cast<int>(v);
    else if (name == "--index") out->firstIndex = static_cast<int>(v);
    else if (name == "--seed" && v >= 0) { o->seed = true; o->seedValue = v; }
    else if (name == "--lat") { o->place = true; o->lat = v; }
    else if (name == "--lon") { o->place = true; o->lon = v; }
    else if (name == "--alt") { o->place = true; o->alt = v; }
    else if (name == "--radius") o->radius = v;
    else if (name == "--speed") { o->speed = v; out->replaySpeed = v; }
    else if (name == "--wait" && v >= 0) out->waitSeconds = v;
    else if (name == "--baud") out->replayBaud = static_cast<int>(v);
    else return false;
    return true;
}

SimOptions ReceiverOptions(int index, const Overrides& o)
{
    SimOptions s = DemoReceiverOptions(index);
    if (o.place)
        s.track.centre = {o.lat * kDeg, o.lon * kDeg, o.alt};
    if (o.radius > 0 && o.speed > 0) {
        s.track.radiusM = o.radius;
        s.track.speedMps = o.speed;
    }
    if (o.seed)
        s.seed = static_cast<uint64_t>(o.seedValue) + static_cast<uint64_t>(index);
    s.withoutAlmanac = o.noAlmanac;
    s.withoutEphemeris = o.noEphemeris;
    s.antennaFault = o.antennaFault;
    if (o.model >= 0)
        s.timingModel = o.model == 1;
    return s;
}

} // namespace

const char* SimUsage()
{
    return "usage: zelk_sim [--count N] [--index I] [--seed S] [--lat DEG --lon DEG --alt M]\n"
           "                [--radius M --speed MPS] [--no-almanac PRN,..] [--no-ephemeris PRN,..]\n"
           "                [--antenna-fault] [--model classic|timing] [--listen [HOST:]PORT]\n"
           "       zelk_sim --replay FILE [--speed X | --fast] [--loop] [--wait S] [--baud B] [--listen [HOST:]PORT]\n"
           "       zelk_sim -h | --help | --version\n"
           "Runs simulated GPS receivers that answer the ZELK protocol's queries and\n"
           "commands and send their periodic reports, or plays a raw recording back.\n"
           "Prints the device path of each receiver, one per line, and runs until\n"
           "interrupted.\n"
           "\n"
           "Simulated receivers:\n"
           "  --count N             number of receivers, 1 to 16 (default 1)\n"
           "  --index I             demo place of the first receiver (default 0); receiver\n"
           "                        i takes place I + i, as jx_monitor --demo does\n"
           "  --seed S              seed of the simulated noise; receiver i uses S + i\n"
           "  --lat DEG --lon DEG --alt M\n"
           "                        centre of the simulated track (degrees, metres)\n"
           "  --radius M --speed MPS\n"
           "                        drive a circle of that radius (metres) at that speed\n"
           "                        (metres per second); both are needed\n"
           "  --no-almanac PRN,..   satellites (1 to 32) whose almanac the receiver lacks\n"
           "  --no-ephemeris PRN,.. satellites (1 to 32) whose ephemeris it lacks\n"
           "  --antenna-fault       report an antenna fault in the health report\n"
           "  --model classic|timing\n"
           "                        a classic receiver, or a timing receiver (0x8F-AB,\n"
           "                        0x8F-AC, 0x5D, 0x6C); default: the demo place's own\n"
           "                        (the third, COM3 of the demo, is a timing receiver)\n"
           "\n"
           "Playback:\n"
           "  --replay FILE         play a raw recording (.zlk) back instead of simulating\n"
           "  --speed X             play it X times as fast as recorded (default 1)\n"
           "  --fast                send it without the line's pacing\n"
           "  --wait S              start after S seconds even if nobody opened the line;\n"
           "                        it starts when the line is opened, paced by FILE.idx\n"
           "                        when there is one, else by its fix times\n"
           "  --loop                start again from the beginning at its end\n"
           "  --baud B              the bit rate whose pacing it keeps (default 9600)\n"
           "\n"
           "Lines:\n";
}

const char* SimUsageEnd()
{
    return "  -h, --help            print this help and exit\n"
           "  --version             print the version and exit\n"
           "Exit status: 0 after an interrupt, 1 when a receiver cannot start, 2 for a\n"
           "bad option.\n";
}

bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine* out, std::string* error)
{
    *out = SimCommandLine{};
    Overrides o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") { out->help = true; continue; }
        if (a == "--fast") { out->fast = true; continue; }
        if (a == "--loop") { out->loop = true; continue; }
        if (a == "--antenna-fault") { o.antennaFault = true; continue; }
        if (a == "--model" && i + 1 < args.size() && (args[i + 1] == "timing" || args[i + 1] == "classic")) {
            o.model = args[++i] == "timing" ? 1 : 0;
            continue;
        }
        if (i + 1 >= args.size() || !ApplyOption(a, args[i + 1], &o, out)) {
            *error = "bad option or value: " + a;
            return false;
        }
        ++i;
    }
    if (!out->replayFile.empty() && !(out->replaySpeed > 0)) {
        *error = "--speed must be above 0";
        return false;
    }
    if (out->count < 1 || out->count > 16) {
        *error = "--count must be 1..16";
        return false;
    }
    out->receivers.clear();
    for (int i = 0; i < out->count; ++i)
        out->receivers.push_back(ReceiverOptions(out->firstIndex + i, o));
    return true;
}
