#include "logging/files/log_file.h"

#include <cstdio>

bool AppendLogLine(const std::string& path, const std::string& line)
{
    // Binary mode with an explicit CR LF: the same bytes on every platform.
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return false;
    const std::string record = line + "\r\n";
    const bool written = std::fwrite(record.data(), 1, record.size(), f) == record.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

bool CreateEmptyLogFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    return std::fclose(f) == 0;
}
