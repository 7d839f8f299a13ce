#include "support/captures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadCapture(const std::string& name)
{
    return ReadBinaryFile(std::string(JX_CAPTURES_DIR) + "/" + name);
}

std::vector<std::string> CaptureNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(JX_CAPTURES_DIR))
        if (entry.path().extension() == ".bin")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
