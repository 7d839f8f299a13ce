#include "model/formats/raw_record.h"

#include <filesystem>

#include "platform/regular_file.h"

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
    file_ = OpenRegularFileForWriting(path, append ? WriteMode::Append : WriteMode::Truncate);
    if (!file_)
        return false;
    // Unbuffered: no part of a failed frame waits in a buffer for the next write.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    path_ = path;
    std::error_code error;
    onDisk_ = std::filesystem::file_size(path, error);
    sizeKnown_ = !error;
    return true;
}

bool RawRecordWriter::WriteFrame(uint8_t id, const uint8_t* data, uint32_t length)
{
    if (!file_)
        return false;
    frame_.clear();
    AppendRawFrame(id, data, length, frame_);
    const size_t written = std::fwrite(frame_.data(), 1, frame_.size(), file_);
    const bool flushed = std::fflush(file_) == 0;
    if (written == frame_.size() && flushed) {
        onDisk_ += written;
        return true;
    }
    // A torn frame ending in a DLE would swallow the start of the next one
    // when the recording is read back.
    std::clearerr(file_);
    if (sizeKnown_) {
        std::error_code error;
        std::filesystem::resize_file(path_, onDisk_, error);
        // The next frame follows the last whole one, not the torn end.
        std::fseek(file_, static_cast<long>(onDisk_), SEEK_SET);
    }
    return false;
}

void RawRecordWriter::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}
