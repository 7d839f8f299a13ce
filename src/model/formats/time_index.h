// The time index beside a recording ("<recording>.idx"): where each frame
// starts in the recording and when it was received, so a player can pace the
// frames as they came and find a time by binary search. The recording itself
// is left exactly as it always was.
//
// Layout (big-endian, like every other field of the program):
//   header, 64 bytes: magic "ZLKTIDX\0", version (2), record size (2),
//     COM number (2), device name length (2), device name (up to 48 bytes,
//     zero-padded)
//   records, 16 bytes each: byte offset of the frame's first DLE (8),
//     received time in nanoseconds since 1970-01-01 UTC (8, signed)
// A record is written after its frame, so the index never runs ahead of the
// recording; a torn last record is ignored.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr size_t kTimeIndexHeaderBytes = 64;
constexpr size_t kTimeIndexRecordBytes = 16;
constexpr uint16_t kTimeIndexVersion = 1;

struct TimeIndexHeader {
    uint16_t version = kTimeIndexVersion;
    uint16_t port = 0;   // COM number the recording was taken from (0: unknown)
    std::string device;  // its device path or URL, cut to what fits
};

struct TimeIndexRecord {
    uint64_t offset = 0;
    int64_t utcNs = 0;
    bool operator==(const TimeIndexRecord&) const = default;
};

std::string TimeIndexPath(const std::string& recordingPath);

std::vector<uint8_t> EncodeTimeIndexHeader(const TimeIndexHeader& header);
// False when the bytes are not a header of a version this program reads.
bool DecodeTimeIndexHeader(const uint8_t* bytes, size_t count, TimeIndexHeader& out);

// Writes the index while the recording is written, with the recording's
// discipline: each record in one write, flushed at once, a short write cut
// back so the file holds whole records only.
class TimeIndexWriter {
public:
    TimeIndexWriter() = default;
    ~TimeIndexWriter() { Close(); }
    TimeIndexWriter(const TimeIndexWriter&) = delete;
    TimeIndexWriter& operator=(const TimeIndexWriter&) = delete;

    // Opens the index for a recording of recordingSize bytes. Appending keeps
    // an existing index's whole records that lie inside the recording; a
    // missing or unreadable one is started afresh (the frames before then
    // stay unindexed). Not appending starts it afresh. False when it cannot
    // be written.
    bool Open(const std::string& path, bool append, const TimeIndexHeader& header, uint64_t recordingSize);
    // Adds one frame. Times never go backwards in the file (a clock stepped
    // back repeats the last time), so a binary search stays valid.
    bool Add(uint64_t offset, int64_t utcNs);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

private:
    bool StartAfresh(const TimeIndexHeader& header);
    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t onDisk_ = 0;
    int64_t lastNs_ = INT64_MIN;
};

// Reads an index on demand: only a block of records is held, whatever the
// size of the file.
class TimeIndexReader {
public:
    TimeIndexReader() = default;
    ~TimeIndexReader() { Close(); }
    TimeIndexReader(const TimeIndexReader&) = delete;
    TimeIndexReader& operator=(const TimeIndexReader&) = delete;

    // False when the file is missing, has no whole header or no record.
    // Records that point at or past recordingSize are not counted.
    bool Open(const std::string& path, uint64_t recordingSize);
    void Close();
    const TimeIndexHeader& Header() const { return header_; }
    uint64_t Count() const { return count_; }
    // Record i (i < Count()). A read failure gives the last record's values.
    TimeIndexRecord At(uint64_t i);
    // The first record received at or after utcNs (Count() when none).
    uint64_t FirstAtOrAfter(int64_t utcNs);
    // The first record received after utcNs (Count() when none).
    uint64_t FirstAfter(int64_t utcNs);

private:
    bool LoadBlock(uint64_t first);
    // One record for a binary search, without loading a block.
    TimeIndexRecord Probe(uint64_t i);
    std::FILE* file_ = nullptr;
    TimeIndexHeader header_;
    uint64_t count_ = 0;
    uint64_t blockFirst_ = 0;
    std::vector<TimeIndexRecord> block_;
};
