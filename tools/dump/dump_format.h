// Printing of one decoded packet: a text line or a JSON Lines object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dump_fields.h"

struct DumpRecord {
    int id = 0;
    std::string key;       // "4A", "8F-15"
    uint64_t offset = 0;   // stream position of the frame's DLE
    size_t length = 0;     // data bytes after the id
    bool fragment = false; // no frame start seen (stream began mid-frame)
    bool decoded = false;
    bool withHex = false;  // the data bytes also when the fields were decoded
    const DumpFields* fields = nullptr;
    const uint8_t* data = nullptr;
};

std::string FormatTextLine(const DumpRecord& r);
std::string FormatJsonLine(const DumpRecord& r);
