#include "model/formats/log_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "platform/regular_file.h"

bool AppendLogLine(const std::string& path, const std::string& line)
{
    // Binary mode with an explicit CR LF: the same bytes on every platform.
    std::FILE* f = OpenRegularFileForWriting(path, WriteMode::Append);
    if (!f)
        return false;
    // A record that does not fit (full disk, size limit) is cut off again:
    // a part of it left behind would run into the next record's line.
    std::error_code error;
    const std::uintmax_t before = std::filesystem::file_size(path, error);
    const bool canCutBack = !error;
    const std::string record = line + "\r\n";
    const bool written = std::fwrite(record.data(), 1, record.size(), f) == record.size();
    const bool closed = std::fclose(f) == 0;
    if (written && closed)
        return true;
    if (canCutBack)
        std::filesystem::resize_file(path, before, error);
    return false;
}

bool CreateEmptyLogFile(const std::string& path)
{
    std::FILE* f = OpenRegularFileForWriting(path, WriteMode::Truncate);
    if (!f)
        return false;
    return std::fclose(f) == 0;
}
