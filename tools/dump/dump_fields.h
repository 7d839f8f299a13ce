// Decoded fields of one packet, kept apart from how they are printed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DumpField {
    enum class Kind { Number, Integer, Text, List };
    const char* name = ""; // a literal: field names live for the whole run
    Kind kind = Kind::Number;
    double number = 0;   // Number
    int decimals = 0;    // Number
    long long integer = 0; // Integer
    std::string text;    // Text
    std::vector<int> list; // List
};

class DumpFields {
public:
    DumpFields() { fields_.reserve(16); }
    void Num(const char* name, double value, int decimals);
    void Int(const char* name, long long value);
    void Text(const char* name, std::string value);
    void List(const char* name, std::vector<int> values);
    const std::vector<DumpField>& All() const { return fields_; }

private:
    std::vector<DumpField> fields_;
};

// "4A", or "8F-15" for the packets told apart by their first data byte.
std::string PacketKey(int id, const uint8_t* data, size_t length);
// Fills the fields of a report the monitor knows. False for an unknown id or
// a length the report cannot have; the caller then shows the bytes in hex.
bool DecodePacketFields(int id, const uint8_t* data, size_t length, DumpFields* out);
