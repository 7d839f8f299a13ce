// Any bytes as a recording for zelk_dump's decoder, as text (first byte
// even) or JSON lines (odd): never a crash, the summary accounts for every
// byte and packet, and every JSON line is one object on one line.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "dump_run.h"

namespace {

void CheckJsonLines(const std::string& text, uint64_t packets)
{
    std::istringstream lines(text);
    std::string line;
    uint64_t count = 0;
    while (std::getline(lines, line)) {
        ++count;
        if (line.size() < 2 || line.front() != '{' || line.back() != '}')
            __builtin_trap();
        for (const char c : line)
            if (static_cast<unsigned char>(c) < 0x20)
                __builtin_trap();
    }
    if (count != packets)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool json = data[0] & 1;
    std::ostringstream out;
    const DumpSummary summary = DumpBuffer(data + 1, size - 1, json, out);
    uint64_t counted = 0;
    for (const auto& entry : summary.counts)
        counted += entry.second;
    if (summary.bytes != size - 1 || counted != summary.packets ||
        summary.bytesOutsideFrames > summary.bytes || summary.incompleteTailBytes > summary.bytes)
        __builtin_trap();
    if (json)
        CheckJsonLines(out.str(), summary.packets);
    return 0;
}
