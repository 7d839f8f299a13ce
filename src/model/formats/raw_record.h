// The raw recording file: every recorded packet framed exactly as on the
// serial line (DLE, id, data with DLE doubled, DLE, ETX), frames simply
// concatenated, no header. Plain C++ so the format is testable on its own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Appends the frame of one packet to out: DLE, the id as it is (never
// doubled), the data with every 0x10 written twice, DLE, ETX.
void AppendRawFrame(uint8_t id, const uint8_t* data, uint32_t length, std::vector<uint8_t>& out);

// An open recording file. Each frame is written in one write and flushed at
// once, so a crash loses at most the frame being written; a frame that does
// not fit (full disk, size limit) is cut off again, so the file holds whole
// frames only.
class RawRecordWriter {
public:
    RawRecordWriter() = default;
    ~RawRecordWriter() { Close(); }
    RawRecordWriter(const RawRecordWriter&) = delete;
    RawRecordWriter& operator=(const RawRecordWriter&) = delete;

    // Opens the file for appending; append = false empties it first.
    // False when it cannot be opened (nothing is open then).
    bool Open(const std::string& path, bool append);
    // Writes one frame; false when the write or the flush failed or fell short.
    bool WriteFrame(uint8_t id, const uint8_t* data, uint32_t length);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Bytes of whole frames in the file: where the next frame starts. Known
    // only for a regular file whose size could be read.
    std::uintmax_t Size() const { return onDisk_; }
    bool SizeKnown() const { return sizeKnown_; }

private:
    std::FILE* file_ = nullptr;
    std::vector<uint8_t> frame_;
    std::string path_;
    std::uintmax_t onDisk_ = 0;  // bytes of whole frames in the file
    bool sizeKnown_ = false; // a regular file whose size could be read
};
