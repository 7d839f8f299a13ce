#include "model/formats/time_index.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "link/byte_order.h"
#include "platform/regular_file.h"

namespace {

constexpr char kMagic[8] = {'Z', 'L', 'K', 'T', 'I', 'D', 'X', '\0'};
constexpr size_t kDeviceBytes = kTimeIndexHeaderBytes - 16;
constexpr uint64_t kBlockRecords = 4096;

void PutBE(uint8_t* p, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        p[i] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

TimeIndexRecord DecodeRecord(const uint8_t* p)
{
    return {ReadUInt64BE(p), static_cast<int64_t>(ReadUInt64BE(p + 8))};
}

uint64_t WholeRecords(uint64_t fileSize)
{
    return fileSize < kTimeIndexHeaderBytes ? 0 : (fileSize - kTimeIndexHeaderBytes) / kTimeIndexRecordBytes;
}

long RecordPosition(uint64_t i) { return static_cast<long>(kTimeIndexHeaderBytes + i * kTimeIndexRecordBytes); }

} // namespace

std::string TimeIndexPath(const std::string& recordingPath) { return recordingPath + ".idx"; }

std::vector<uint8_t> EncodeTimeIndexHeader(const TimeIndexHeader& header)
{
    std::vector<uint8_t> out(kTimeIndexHeaderBytes, 0);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    const size_t deviceLength = std::min(header.device.size(), kDeviceBytes);
    PutBE(&out[8], header.version, 2);
    PutBE(&out[10], kTimeIndexRecordBytes, 2);
    PutBE(&out[12], header.port, 2);
    PutBE(&out[14], deviceLength, 2);
    std::memcpy(&out[16], header.device.data(), deviceLength);
    return out;
}

bool DecodeTimeIndexHeader(const uint8_t* bytes, size_t count, TimeIndexHeader& out)
{
    if (count < kTimeIndexHeaderBytes || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return false;
    const uint16_t version = ReadUInt16BE(bytes + 8);
    const uint16_t recordBytes = ReadUInt16BE(bytes + 10);
    const uint16_t deviceLength = ReadUInt16BE(bytes + 14);
    if (version != kTimeIndexVersion || recordBytes != kTimeIndexRecordBytes || deviceLength > kDeviceBytes)
        return false;
    out.version = version;
    out.port = ReadUInt16BE(bytes + 12);
    out.device.assign(reinterpret_cast<const char*>(bytes + 16), deviceLength);
    return true;
}

// ---- writer ----

bool TimeIndexWriter::Open(const std::string& path, bool append, const TimeIndexHeader& header,
                           uint64_t recordingSize)
{
    Close();
    path_ = path;
    TimeIndexReader existing;
    if (!append || !existing.Open(path, recordingSize))
        return StartAfresh(header);
    // Keep the whole records inside the recording; drop a torn tail or records
    // of frames that never reached the recording.
    const uint64_t keep = existing.Count();
    lastNs_ = existing.At(keep - 1).utcNs;
    existing.Close();
    onDisk_ = kTimeIndexHeaderBytes + keep * kTimeIndexRecordBytes;
    std::error_code error;
    std::filesystem::resize_file(path, onDisk_, error);
    if (error)
        return false;
    file_ = OpenRegularFileForWriting(path, WriteMode::Append);
    if (file_)
        std::setvbuf(file_, nullptr, _IONBF, 0);
    return file_ != nullptr;
}

bool TimeIndexWriter::StartAfresh(const TimeIndexHeader& header)
{
    file_ = OpenRegularFileForWriting(path_, WriteMode::Truncate);
    if (!file_)
        return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);
    lastNs_ = INT64_MIN;
    const std::vector<uint8_t> bytes = EncodeTimeIndexHeader(header);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0) {
        Close();
        return false;
    }
    onDisk_ = bytes.size();
    return true;
}

bool TimeIndexWriter::Add(uint64_t offset, int64_t utcNs)
{
    if (!file_)
        return false;
    utcNs = std::max(utcNs, lastNs_);
    uint8_t record[kTimeIndexRecordBytes];
    PutBE(record, offset, 8);
    PutBE(record + 8, static_cast<uint64_t>(utcNs), 8);
    const size_t written = std::fwrite(record, 1, sizeof record, file_);
    if (written == sizeof record && std::fflush(file_) == 0) {
        onDisk_ += written;
        lastNs_ = utcNs;
        return true;
    }
    std::clearerr(file_);
    std::error_code error;
    std::filesystem::resize_file(path_, onDisk_, error);
    std::fseek(file_, static_cast<long>(onDisk_), SEEK_SET);
    return false;
}

void TimeIndexWriter::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

// ---- reader ----

bool TimeIndexReader::Open(const std::string& path, uint64_t recordingSize)
{
    Close();
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(path, error);
    if (error || size < kTimeIndexHeaderBytes)
        return false;
    file_ = std::fopen(path.c_str(), "rb");
    uint8_t bytes[kTimeIndexHeaderBytes];
    if (!file_ || std::fread(bytes, 1, sizeof bytes, file_) != sizeof bytes ||
        !DecodeTimeIndexHeader(bytes, sizeof bytes, header_)) {
        Close();
        return false;
    }
    count_ = WholeRecords(size);
    // Offsets only grow: the records inside the recording come first.
    uint64_t low = 0, high = count_;
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        if (Probe(mid).offset < recordingSize)
            low = mid + 1;
        else
            high = mid;
    }
    count_ = low;
    if (count_ == 0)
        Close();
    return count_ > 0;
}

void TimeIndexReader::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    count_ = 0;
    block_.clear();
}

bool TimeIndexReader::LoadBlock(uint64_t first)
{
    block_.clear();
    blockFirst_ = first;
    const uint64_t n = std::min(kBlockRecords, count_ - first);
    std::vector<uint8_t> bytes(n * kTimeIndexRecordBytes);
    if (std::fseek(file_, RecordPosition(first), SEEK_SET) != 0)
        return false;
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file_) / kTimeIndexRecordBytes;
    for (size_t i = 0; i < got; ++i)
        block_.push_back(DecodeRecord(&bytes[i * kTimeIndexRecordBytes]));
    return !block_.empty();
}

TimeIndexRecord TimeIndexReader::At(uint64_t i)
{
    if (!file_ || count_ == 0)
        return {};
    i = std::min(i, count_ - 1);
    if (i < blockFirst_ || i >= blockFirst_ + block_.size()) {
        // A backward walk reads the block that ends at i, a forward one the block that starts there.
        const bool backward = !block_.empty() && i + 1 == blockFirst_;
        if (!LoadBlock(backward ? (i + 1 > kBlockRecords ? i + 1 - kBlockRecords : 0) : i))
            return {};
    }
    return block_[i - blockFirst_];
}

TimeIndexRecord TimeIndexReader::Probe(uint64_t i)
{
    if (i >= blockFirst_ && i < blockFirst_ + block_.size())
        return block_[i - blockFirst_];
    uint8_t bytes[kTimeIndexRecordBytes];
    if (!file_ || std::fseek(file_, RecordPosition(i), SEEK_SET) != 0 ||
        std::fread(bytes, 1, sizeof bytes, file_) != sizeof bytes)
        return {};
    return DecodeRecord(bytes);
}

uint64_t TimeIndexReader::FirstAtOrAfter(int64_t utcNs)
{
    uint64_t low = 0, high = count_;
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        if (Probe(mid).utcNs < utcNs)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

uint64_t TimeIndexReader::FirstAfter(int64_t utcNs)
{
    return utcNs == INT64_MAX ? count_ : FirstAtOrAfter(utcNs + 1);
}
