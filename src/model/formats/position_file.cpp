#include "model/formats/position_file.h"

#include <cstdio>
#include <fstream>

std::string FormatPositionLine(const PositionFileRecord& record)
{
    std::string line = std::to_string(static_cast<int>(record.kind));
    for (size_t i = 0; i < record.values.size(); ++i) {
        char number[400]; // the widest double printed in fixed notation fits
        std::snprintf(number, sizeof number, " %.*f", record.decimals[i], record.values[i]);
        line += number;
    }
    return line;
}

bool WritePositionFile(const std::string& path, const PositionFileRecord& record)
{
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    if (!file)
        return false;
    file << FormatPositionLine(record);
    file.close();
    return !file.fail();
}
