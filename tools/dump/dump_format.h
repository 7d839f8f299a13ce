// Printing of one decoded packet: a text line or a JSON Lines object,
// written straight into an output buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "describe/field_text.h"

struct DumpRecord {
    int id = 0;
    const char* key = "";  // "4A", "8F-15"
    uint64_t offset = 0;   // stream position of the frame's DLE
    size_t length = 0;     // data bytes after the id
    bool fragment = false; // no frame start seen (stream began mid-frame)
    bool decoded = false;
    bool withHex = false;  // the data bytes also when the fields were decoded
    const DumpFields* fields = nullptr;
    const uint8_t* data = nullptr;
    const char* time = nullptr; // when it was received, or null
};

// The most bytes either line of r can take.
size_t LineBound(const DumpRecord& r);
// Each writes one line with its '\n' at p (LineBound(r) bytes of room) and
// returns the end of what it wrote.
char* WriteTextLine(char* p, const DumpRecord& r);
char* WriteJsonLine(char* p, const DumpRecord& r);
