#include "dump_format.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

#include "link/packets.h"

namespace {

constexpr size_t kIntRoom = 24;

char* Put(char* p, std::string_view s)
{
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

// Two lower-case hex digits for each byte value, looked up a byte at a time.
const std::array<char, 512> kHexPairs = [] {
    static const char kDigits[] = "0123456789abcdef";
    std::array<char, 512> t{};
    for (int b = 0; b < 256; ++b) {
        t[static_cast<size_t>(2 * b)] = kDigits[b >> 4];
        t[static_cast<size_t>(2 * b + 1)] = kDigits[b & 0x0F];
    }
    return t;
}();

char* PutHex(char* p, const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i, p += 2)
        std::memcpy(p, &kHexPairs[2 * size_t{data[i]}], 2);
    return p;
}

template <class Int>
char* PutInt(char* p, Int v)
{
    return std::to_chars(p, p + kIntRoom, v).ptr;
}

// s left-aligned in width columns, as "%-Ns" prints it.
char* PutPadded(char* p, char* start, size_t width)
{
    while (static_cast<size_t>(p - start) < width)
        *p++ = ' ';
    return p;
}

int SubIdOf(const DumpRecord& r) { return r.length > 0 && r.data ? r.data[0] : -1; }

} // namespace

size_t LineBound(const DumpRecord& r)
{
    // Head, markers and hex; then each field with its name and separators.
    size_t bound = 128 + 6 * std::strlen(r.key) + 2 * r.length + (r.time ? std::strlen(r.time) + 16 : 0);
    if (r.decoded && r.fields)
        for (const DumpField& f : r.fields->All())
            bound += f.name.size() + 4 + FieldValueBound(f);
    return bound;
}

char* WriteTextLine(char* p, const DumpRecord& r)
{
    if (r.time)
        p = Put(Put(p, r.time), " ");
    char* start = p;
    p = PutPadded(Put(p, r.key), start, 6);
    p = Put(p, " @");
    start = p;
    p = PutPadded(PutInt(p, r.offset), start, 8);
    p = Put(p, " len ");
    start = p;
    p = PutPadded(PutInt(p, r.length), start, 3);
    if (r.fragment)
        p = Put(p, " (no frame start)");
    if (r.decoded && r.fields) {
        p = PutFieldsText(p, *r.fields);
        if (!r.withHex) {
            *p++ = '\n';
            return p;
        }
    } else if (ReportName(static_cast<uint8_t>(r.id), SubIdOf(r))) {
        p = Put(Put(p, " "), kWrongLengthNote);
    }
    p = PutHex(Put(p, " hex="), r.data, r.length);
    *p++ = '\n';
    return p;
}

char* WriteJsonLine(char* p, const DumpRecord& r)
{
    p = PutJsonString(Put(p, "{\"id\":"), r.key);
    if (r.time)
        p = PutJsonString(Put(p, ",\"time\":"), r.time);
    p = PutInt(Put(p, ",\"offset\":"), r.offset);
    p = PutInt(Put(p, ",\"len\":"), r.length);
    if (r.fragment)
        p = Put(p, ",\"fragment\":true");
    const bool decoded = r.decoded && r.fields;
    if (decoded) {
        for (const DumpField& f : r.fields->All()) {
            p = Put(p, ",\"");
            p = Put(p, f.name); // plain identifiers: nothing to escape
            p = Put(p, "\":");
            p = PutFieldValue(p, f, true);
        }
    }
    if (!decoded || r.withHex) {
        p = PutHex(Put(p, ",\"hex\":\""), r.data, r.length);
        *p++ = '"';
    }
    return Put(p, "}\n");
}
