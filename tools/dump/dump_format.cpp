#include "dump_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "link/packets.h"

namespace {

// Every double in fixed notation fits: 309 digits, sign, point and decimals.
constexpr size_t kNumberRoom = 400;
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

char* PutNumber(char* p, double v, int decimals, bool json)
{
    if (!std::isfinite(v))
        return Put(p, json ? "null" : (std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf")));
    return std::to_chars(p, p + kNumberRoom, v, std::chars_format::fixed, decimals).ptr;
}

char* PutJsonString(char* p, std::string_view s)
{
    static const char kDigits[] = "0123456789abcdef";
    *p++ = '"';
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            *p++ = '\\';
            *p++ = ch;
        } else if (c < 0x20) {
            p = Put(p, "\\u00");
            *p++ = kDigits[c >> 4];
            *p++ = kDigits[c & 0x0F];
        } else {
            *p++ = ch;
        }
    }
    *p++ = '"';
    return p;
}

char* PutValue(char* p, const DumpField& f, bool json)
{
    switch (f.kind) {
    case DumpField::Kind::Number: return PutNumber(p, f.number, f.decimals, json);
    case DumpField::Kind::Integer: return PutInt(p, f.integer);
    case DumpField::Kind::Text: return json ? PutJsonString(p, f.text) : Put(p, f.text);
    case DumpField::Kind::List:
        if (json)
            *p++ = '[';
        else if (f.list.empty())
            *p++ = '-';
        for (size_t i = 0; i < f.list.size(); ++i) {
            if (i)
                *p++ = ',';
            p = PutInt(p, f.list[i]);
        }
        if (json)
            *p++ = ']';
        return p;
    }
    return p;
}

size_t ValueBound(const DumpField& f)
{
    switch (f.kind) {
    case DumpField::Kind::Number: return kNumberRoom;
    case DumpField::Kind::Integer: return kIntRoom;
    case DumpField::Kind::Text: return 6 * f.text.size() + 2;
    case DumpField::Kind::List: return (kIntRoom + 1) * f.list.size() + 2;
    }
    return 0;
}

int SubIdOf(const DumpRecord& r) { return r.length > 0 && r.data ? r.data[0] : -1; }

} // namespace

size_t LineBound(const DumpRecord& r)
{
    // Head, markers and hex; then each field with its name and separators.
    size_t bound = 128 + 6 * std::strlen(r.key) + 2 * r.length;
    if (r.decoded && r.fields)
        for (const DumpField& f : r.fields->All())
            bound += f.name.size() + 4 + ValueBound(f);
    return bound;
}

void AppendNumber(std::string& out, double v, int decimals, bool json)
{
    char buf[kNumberRoom];
    out.append(buf, static_cast<size_t>(PutNumber(buf, v, decimals, json) - buf));
}

char* WriteTextLine(char* p, const DumpRecord& r)
{
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
        for (const DumpField& f : r.fields->All()) {
            *p++ = ' ';
            p = Put(p, f.name);
            *p++ = '=';
            p = PutValue(p, f, false);
        }
        if (!r.withHex) {
            *p++ = '\n';
            return p;
        }
    } else if (ReportName(static_cast<uint8_t>(r.id), SubIdOf(r))) {
        p = Put(p, " (length not of this report)");
    }
    p = PutHex(Put(p, " hex="), r.data, r.length);
    *p++ = '\n';
    return p;
}

char* WriteJsonLine(char* p, const DumpRecord& r)
{
    p = PutJsonString(Put(p, "{\"id\":"), r.key);
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
            p = PutValue(p, f, true);
        }
    }
    if (!decoded || r.withHex) {
        p = PutHex(Put(p, ",\"hex\":\""), r.data, r.length);
        *p++ = '"';
    }
    return Put(p, "}\n");
}
