// What the notes that came with the real captures say about each of them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// From the notes that came with the captures: frames per id and the bytes
// that belong to no whole frame (a stray end at the start, a cut-off tail).
struct CaptureFacts {
    const char* name;
    uint64_t outsideBytes;
    std::map<std::string, uint64_t> counts;
};

inline const std::vector<CaptureFacts>& Facts()
{
    static const std::vector<CaptureFacts> facts = {
        {"receiver-a.bin", 20, {{"41", 6}, {"46", 6}, {"4B", 5}, {"5C", 89}, {"6D", 30}, {"82", 2}, {"8F-20", 30}}},
        {"receiver-b.bin", 3, {{"41", 10}, {"46", 12}, {"4B", 11}, {"5C", 105}, {"6D", 50}, {"82", 11}, {"8F-20", 39}}},
        {"receiver-c.bin", 32, {{"41", 8}, {"46", 8}, {"4B", 8}, {"56", 41}, {"6D", 41}, {"82", 41}, {"84", 40}}},
        {"receiver-d.bin", 1,
         {{"41", 6}, {"46", 6}, {"4B", 6}, {"5C", 60}, {"6D", 30}, {"82", 30}, {"83", 30}, {"8F-20", 30}}},
        {"receiver-e.bin", 1, {{"8F-AB", 59}, {"8F-AC", 59}}},
        {"receiver-f.bin", 1, {{"46", 5}, {"4B", 5}, {"5C", 50}, {"6D", 5}, {"8F-AB", 30}, {"8F-AC", 30}}},
        {"receiver-g.bin", 20, {{"46", 6}, {"4B", 6}, {"5C", 66}, {"6D", 38}, {"8F-AB", 38}, {"8F-AC", 38}}},
        {"receiver-h.bin", 20, {{"13", 1}, {"1C-81", 1}, {"1C-83", 1}, {"41", 1}, {"45", 1}, {"46", 5}, {"4B", 5}, {"54", 25},
                                {"55", 2}, {"5D", 65}, {"6C", 27}, {"8F-42", 2}, {"8F-A5", 2}, {"8F-A9", 1},
                                {"8F-AB", 27}, {"8F-AC", 27}}},
        {"receiver-k.bin", 0, {{"41", 354}, {"46", 354}, {"4B", 354}, {"5F", 354}, {"6D", 354}, {"82", 354}, {"8F-23", 354}}},
        {"receiver-l.bin", 10, {{"8F-AB", 107}, {"8F-AC", 106}}},
    };
    return facts;
}
