#include "dump_format.h"

#include <cmath>
#include <cstdio>

#include "link/packets.h"

namespace {

std::string Hex(const uint8_t* data, size_t length)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * length);
    for (size_t i = 0; i < length; ++i) {
        s += kDigits[data[i] >> 4];
        s += kDigits[data[i] & 0x0F];
    }
    return s;
}

std::string Number(double v, int decimals, bool json)
{
    if (!std::isfinite(v))
        return json ? "null" : (std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf"));
    // A double of any magnitude has up to 309 digits before the point: size
    // the text to fit rather than cut it.
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, v);
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, v);
    return text;
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ValueText(const DumpField& f, bool json)
{
    switch (f.kind) {
    case DumpField::Kind::Number: return Number(f.number, f.decimals, json);
    case DumpField::Kind::Integer: return std::to_string(f.integer);
    case DumpField::Kind::Text: return json ? JsonString(f.text) : f.text;
    case DumpField::Kind::List: {
        std::string s = json ? "[" : "";
        for (size_t i = 0; i < f.list.size(); ++i)
            s += (i ? "," : "") + std::to_string(f.list[i]);
        return json ? s + "]" : (s.empty() ? "-" : s);
    }
    }
    return {};
}

int SubIdOf(const DumpRecord& r) { return r.length > 0 && r.data ? r.data[0] : -1; }

} // namespace

std::string FormatTextLine(const DumpRecord& r)
{
    char head[96];
    std::snprintf(head, sizeof head, "%-6s @%-8llu len %-3zu", r.key.c_str(), static_cast<unsigned long long>(r.offset),
                  r.length);
    std::string line = head;
    if (r.fragment)
        line += " (no frame start)";
    if (r.decoded && r.fields) {
        for (const DumpField& f : r.fields->All()) {
            line += ' ';
            line += f.name;
            line += '=';
            line += ValueText(f, false);
        }
        return r.withHex ? line + " hex=" + Hex(r.data, r.length) : line;
    }
    if (ReportName(static_cast<uint8_t>(r.id), SubIdOf(r)))
        line += " (length not of this report)";
    return line + " hex=" + Hex(r.data, r.length);
}

std::string FormatJsonLine(const DumpRecord& r)
{
    std::string line = "{\"id\":" + JsonString(r.key) + ",\"offset\":" + std::to_string(r.offset) +
                       ",\"len\":" + std::to_string(r.length);
    if (r.fragment)
        line += ",\"fragment\":true";
    if (r.decoded && r.fields) {
        for (const DumpField& f : r.fields->All()) {
            line += ",\"";
            line += f.name; // plain identifiers: nothing to escape
            line += "\":";
            line += ValueText(f, true);
        }
    }
    if (!(r.decoded && r.fields) || r.withHex)
        line += ",\"hex\":\"" + Hex(r.data, r.length) + "\"";
    return line + "}";
}
