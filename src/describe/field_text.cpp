#include "describe/field_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

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

char* PutInt(char* p, long long v) { return std::to_chars(p, p + kIntRoom, v).ptr; }

char* PutNumber(char* p, double v, int decimals, bool json)
{
    if (!std::isfinite(v))
        return Put(p, json ? "null" : (std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf")));
    return std::to_chars(p, p + kNumberRoom, v, std::chars_format::fixed, decimals).ptr;
}

} // namespace

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

char* PutFieldValue(char* p, const DumpField& f, bool json)
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

size_t FieldValueBound(const DumpField& f)
{
    switch (f.kind) {
    case DumpField::Kind::Number: return kNumberRoom;
    case DumpField::Kind::Integer: return kIntRoom;
    case DumpField::Kind::Text: return 6 * f.text.size() + 2;
    case DumpField::Kind::List: return (kIntRoom + 1) * f.list.size() + 2;
    }
    return 0;
}

char* PutFieldsText(char* p, const DumpFields& fields)
{
    for (const DumpField& f : fields.All()) {
        *p++ = ' ';
        p = Put(p, f.name);
        *p++ = '=';
        p = PutFieldValue(p, f, false);
    }
    return p;
}

void AppendNumber(std::string& out, double v, int decimals, bool json)
{
    char buf[kNumberRoom];
    out.append(buf, static_cast<size_t>(PutNumber(buf, v, decimals, json) - buf));
}

std::string PacketSummary(int id, const uint8_t* data, size_t length)
{
    DumpFields fields;
    if (!DecodePacketFields(id, data, length, &fields))
        return ReportName(static_cast<uint8_t>(id), length > 0 ? data[0] : -1) ? std::string(kWrongLengthNote)
                                                                              : std::string();
    size_t bound = 0;
    for (const DumpField& f : fields.All())
        bound += f.name.size() + 2 + FieldValueBound(f);
    std::string text(bound, '\0');
    char* end = PutFieldsText(text.data(), fields);
    text.resize(static_cast<size_t>(end - text.data()));
    return text.empty() ? text : text.substr(1); // no space before the first field
}
