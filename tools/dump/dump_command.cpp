#include "dump_command.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "dump_run.h"
#include "platform/network_url.h"
#include "platform/serial_device.h"

namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr auto kIdlePoll = std::chrono::milliseconds(20);

const char kUsage[] = "usage: zelk_dump [--json] [--hex] [FILE|DEVICE|tcp://HOST:PORT|rfc2217://HOST:PORT|-]\n";

void FeedStream(std::istream& in, Dumper& dumper)
{
    std::vector<char> buffer(kChunk);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0)
            break;
        dumper.Feed(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<size_t>(got));
    }
}

bool FeedDevice(const std::string& path, Dumper& dumper, std::ostream& out, std::ostream& err,
                const volatile std::sig_atomic_t* stop)
{
    std::string error;
    auto device = OpenSerialDevice(path, &error);
    if (!device) {
        err << "zelk_dump: " << path << ": " << error << '\n';
        return false;
    }
    std::vector<uint8_t> buffer(kChunk);
    bool connected = false; // a network source that was never reached is a failure
    while (!*stop) {
        connected = connected || device->State() == DeviceState::Ready;
        const long got = device->Read(buffer.data(), buffer.size());
        connected = connected || got > 0;
        if (got < 0) { // the device went away: keep what was decoded
            if (!device->GoneReason().empty())
                err << "zelk_dump: " << path << ": " << device->GoneReason() << '\n';
            return connected;
        }
        if (got == 0)
            std::this_thread::sleep_for(kIdlePoll);
        else {
            dumper.Feed(buffer.data(), static_cast<size_t>(got));
            out.flush(); // a live line is watched as it comes
        }
    }
    return true;
}

bool IsDevice(const std::string& path)
{
    std::error_code ec;
    return IsNetworkPath(path) || (path.rfind("/dev/", 0) == 0 && std::filesystem::is_character_file(path, ec));
}

} // namespace

int RunDumpCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const volatile std::sig_atomic_t* stop)
{
    bool json = false;
    bool hex = false;
    std::string source = "-";
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else if (a == "--hex")
            hex = true;
        else if (a == "--help" || a == "-h" || (a.size() > 1 && a[0] == '-')) {
            (a == "--help" || a == "-h" ? out : err) << kUsage;
            return a == "--help" || a == "-h" ? 0 : 2;
        } else
            source = a;
    }

    Dumper dumper(out, json, hex);
    if (source == "-") {
        FeedStream(in, dumper);
    } else if (IsDevice(source)) {
        if (!FeedDevice(source, dumper, out, err, stop))
            return 1;
    } else {
        std::ifstream file(source, std::ios::binary);
        if (!file) {
            err << "zelk_dump: cannot open " << source << '\n';
            return 1;
        }
        FeedStream(file, dumper);
        // A directory opens like a file and fails at the first read.
        if (file.bad()) {
            err << "zelk_dump: cannot read " << source << '\n';
            return 1;
        }
    }
    dumper.Finish();
    dumper.WriteSummary(json ? err : out);
    return 0;
}
