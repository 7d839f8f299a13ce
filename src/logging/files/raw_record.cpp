#include "logging/files/raw_record.h"

namespace {
constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
} // namespace

void AppendRawFrame(uint8_t id, const uint8_t* data, uint32_t length, std::vector<uint8_t>& out)
{
    out.push_back(kDle);
    out.push_back(id);
    for (uint32_t i = 0; i < length; ++i) {
        if (data[i] == kDle)
            out.push_back(kDle);
        out.push_back(data[i]);
    }
    out.push_back(kDle);
    out.push_back(kEtx);
}

bool RawRecordWriter::Open(const std::string& path, bool append)
{
    Close();
    file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
    return file_ != nullptr;
}

bool RawRecordWriter::WriteFrame(uint8_t id, const uint8_t* data, uint32_t length)
{
    if (!file_)
        return false;
    frame_.clear();
    AppendRawFrame(id, data, length, frame_);
    const size_t written = std::fwrite(frame_.data(), 1, frame_.size(), file_);
    const bool flushed = std::fflush(file_) == 0;
    return written == frame_.size() && flushed;
}

void RawRecordWriter::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}
