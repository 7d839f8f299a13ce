// Decoded fields of one packet, kept apart from how they are printed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct DumpField {
    enum class Kind { Number, Integer, Text, List };
    std::string_view name; // a literal: field names live for the whole run
    Kind kind = Kind::Number;
    double number = 0;   // Number
    int decimals = 0;    // Number
    long long integer = 0; // Integer
    std::string text;    // Text
    std::vector<int> list; // List
};

// Reused from packet to packet: Clear keeps the storage of every field.
class DumpFields {
public:
    DumpFields() { fields_.reserve(16); }
    void Clear() { count_ = 0; }
    void Num(std::string_view name, double value, int decimals)
    {
        DumpField& f = Next(name, DumpField::Kind::Number);
        f.number = value;
        f.decimals = decimals;
    }
    void Int(std::string_view name, long long value) { Next(name, DumpField::Kind::Integer).integer = value; }
    void Text(std::string_view name, const std::string& value);
    template <class It>
    void List(std::string_view name, It first, It last)
    {
        DumpField& f = Next(name, DumpField::Kind::List);
        f.list.assign(first, last);
    }
    std::span<const DumpField> All() const { return {fields_.data(), count_}; }

private:
    DumpField& Next(std::string_view name, DumpField::Kind kind)
    {
        if (count_ == fields_.size())
            fields_.emplace_back();
        DumpField& f = fields_[count_++];
        f.name = name;
        f.kind = kind;
        return f;
    }

    std::vector<DumpField> fields_;
    size_t count_ = 0;
};

// "4A", or "8F-15" / "1C-81" for the packets told apart by their first data byte.
// Writes the key and its terminating zero into key (at least 6 bytes).
void PacketKey(int id, const uint8_t* data, size_t length, char* key);
// Fills the fields of a report the monitor knows. False for an unknown id or
// a length the report cannot have; the caller then shows the bytes in hex.
bool DecodePacketFields(int id, const uint8_t* data, size_t length, DumpFields* out);
