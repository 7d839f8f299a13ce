// Decoded packet fields as text: the one form that zelk_dump's lines and the
// monitor's packet console share, so both say the same about a packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "describe/packet_fields.h"

// Said of a known report whose length it cannot have.
constexpr std::string_view kWrongLengthNote = "(length not of this report)";

// The value of f (text, or JSON when json) written at p; returns the end.
// FieldValueBound(f) bytes of room are enough.
char* PutFieldValue(char* p, const DumpField& f, bool json);
size_t FieldValueBound(const DumpField& f);
// " name=value" for each field, in order.
char* PutFieldsText(char* p, const DumpFields& fields);
// s quoted and escaped as a JSON string (6 bytes of room per byte of s, plus 2).
char* PutJsonString(char* p, std::string_view s);

// "%.*f" of v (decimals 0 to 17), or for a value that is not finite "nan",
// "inf", "-inf" (text) or "null" (JSON). Exactly the C library's digits.
void AppendNumber(std::string& out, double v, int decimals, bool json);

// One line about a packet (data without the id): its fields as zelk_dump
// prints them ("tow=... week=..."), kWrongLengthNote, or "" for an id the
// decoders do not know.
std::string PacketSummary(int id, const uint8_t* data, size_t length);
