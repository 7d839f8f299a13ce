#include "dump_fields.h"

#include <cstdio>

void DumpFields::Num(const char* name, double value, int decimals)
{
    DumpField f;
    f.name = name;
    f.kind = DumpField::Kind::Number;
    f.number = value;
    f.decimals = decimals;
    fields_.push_back(std::move(f));
}

void DumpFields::Int(const char* name, long long value)
{
    DumpField f;
    f.name = name;
    f.kind = DumpField::Kind::Integer;
    f.integer = value;
    fields_.push_back(std::move(f));
}

void DumpFields::Text(const char* name, std::string value)
{
    DumpField f;
    f.name = name;
    f.kind = DumpField::Kind::Text;
    f.text = std::move(value);
    fields_.push_back(std::move(f));
}

void DumpFields::List(const char* name, std::vector<int> values)
{
    DumpField f;
    f.name = name;
    f.kind = DumpField::Kind::List;
    f.list = std::move(values);
    fields_.push_back(std::move(f));
}

std::string PacketKey(int id, const uint8_t* data, size_t length)
{
    char key[16];
    if (id == 0x8F && length > 0)
        std::snprintf(key, sizeof key, "%02X-%02X", id & 0xFF, data[0]);
    else
        std::snprintf(key, sizeof key, "%02X", id & 0xFF);
    return key;
}
