// Raw traffic recorded from real receivers, kept in tests/data/captures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> ReadCapture(const std::string& name); // e.g. "receiver-a.bin"
std::vector<uint8_t> ReadBinaryFile(const std::string& path);
std::vector<std::string> CaptureNames();
