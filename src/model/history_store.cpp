#include "model/history_store.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int64_t DayOf(int64_t unixSecond)
{
    return unixSecond - ((unixSecond % kDaySeconds) + kDaySeconds) % kDaySeconds;
}

std::string DayName(int64_t dayStart)
{
    const std::time_t t = static_cast<std::time_t>(dayStart);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char name[32];
    std::strftime(name, sizeof name, "%Y-%m-%d.jxh", &tm);
    return name;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string HistoryRoot()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg)
        base = xdg;
    else
        base = std::string(std::getenv("HOME") ? std::getenv("HOME") : ".") + "/.local/share";
    return base + "/JX_Monitor/history";
}

std::string HistoryFolderName(int comNumber, const std::string& device)
{
    std::string name = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
    for (char& c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.'))
            c = '_';
    return "COM" + std::to_string(comNumber) + (name.empty() ? "" : "_" + name);
}

namespace {

// COM2 before COM10: the number after "COM" counts, then the whole name.
bool ComesBefore(const std::string& a, const std::string& b)
{
    const auto comNumber = [](const std::string& path) {
        const std::string name = fs::path(path).filename().string();
        if (name.rfind("COM", 0) != 0)
            return -1L;
        return std::strtol(name.c_str() + 3, nullptr, 10);
    };
    const long na = comNumber(a), nb = comNumber(b);
    return na != nb ? na < nb : a < b;
}

} // namespace

std::vector<std::string> HistoryFolders(const std::string& root)
{
    std::vector<std::string> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        if (entry.is_directory(ec))
            folders.push_back(entry.path().string());
    std::sort(folders.begin(), folders.end(), ComesBefore);
    return folders;
}

std::string HistoryDayPath(const std::string& folder, int64_t dayStart) { return folder + "/" + DayName(dayStart); }

HistoryWriter::HistoryWriter(std::string folder, int keepDays) : folder_(std::move(folder)), keepDays_(keepDays) {}

HistoryWriter::~HistoryWriter()
{
    Flush();
    if (fd_ >= 0)
        ::close(fd_);
}

void HistoryWriter::Fail(const std::string& what)
{
    if (!failing_)
        error_ = "History not saved in " + folder_ + ": " + what + " (" + std::strerror(errno) +
                 "). Monitoring goes on; the samples wait in memory.";
    failing_ = true;
}

std::optional<std::string> HistoryWriter::TakeError()
{
    std::optional<std::string> e;
    e.swap(error_);
    return e;
}

bool HistoryWriter::OpenDay(int64_t dayStart)
{
    if (fd_ >= 0 && dayStart_ == dayStart)
        return true;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const std::string path = HistoryDayPath(folder_, dayStart);
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        Fail("cannot open " + path);
        return false;
    }
    dayStart_ = dayStart;
    // Whole records are kept; a torn tail or a bad header is cut off.
    struct stat st {};
    ::fstat(fd_, &st);
    uint8_t header[kHistoryHeaderSize];
    int64_t headerDay = 0;
    const bool headerOk = st.st_size >= static_cast<off_t>(kHistoryHeaderSize) &&
                          ::pread(fd_, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
                          DecodeHistoryHeader(header, &headerDay) && headerDay == dayStart;
    if (headerOk) {
        const int64_t records = (st.st_size - static_cast<int64_t>(kHistoryHeaderSize)) / kHistoryRecordSize;
        goodSize_ = static_cast<int64_t>(kHistoryHeaderSize) + records * static_cast<int64_t>(kHistoryRecordSize);
    } else {
        goodSize_ = 0;
    }
    if (goodSize_ != st.st_size && ::ftruncate(fd_, goodSize_) != 0) {
        Fail("cannot repair " + path);
        return false;
    }
    if (goodSize_ == 0) {
        EncodeHistoryHeader(dayStart, header);
        ::lseek(fd_, 0, SEEK_SET);
        if (!WriteAll(fd_, header, sizeof header)) {
            Fail("cannot write " + path);
            [[maybe_unused]] const int cut = ::ftruncate(fd_, 0);
            ::close(fd_);
            fd_ = -1;
            return false;
        }
        goodSize_ = kHistoryHeaderSize;
    }
    ::lseek(fd_, goodSize_, SEEK_SET);
    return true;
}

bool HistoryWriter::WritePending()
{
    std::vector<uint8_t> bytes;
    size_t done = 0;
    while (done < pending_.size()) {
        const int64_t day = DayOf(pending_[done].unixSecond);
        if (!OpenDay(day))
            break;
        bytes.clear();
        size_t end = done;
        while (end < pending_.size() && DayOf(pending_[end].unixSecond) == day) {
            bytes.resize(bytes.size() + kHistoryRecordSize);
            EncodeHistoryRecord(pending_[end], day, bytes.data() + bytes.size() - kHistoryRecordSize);
            ++end;
        }
        if (!WriteAll(fd_, bytes.data(), bytes.size())) {
            Fail("cannot write " + HistoryDayPath(folder_, day));
            // A part of a record must not stay: the next append would be out of step.
            [[maybe_unused]] const int cut = ::ftruncate(fd_, goodSize_);
            ::lseek(fd_, goodSize_, SEEK_SET);
            break;
        }
        goodSize_ += static_cast<int64_t>(bytes.size());
        done = end;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(done));
    return pending_.empty();
}

bool HistoryWriter::Flush()
{
    if (pending_.empty())
        return true;
    const bool ok = WritePending();
    if (ok)
        failing_ = false;
    return ok;
}

void HistoryWriter::Append(const HistorySample& sample)
{
    if (!pending_.empty() && DayOf(pending_.back().unixSecond) != DayOf(sample.unixSecond))
        Flush();
    pending_.push_back(sample);
    if (pending_.size() > kMaxPending)
        pending_.erase(pending_.begin());
    if (sample.unixSecond - lastFlush_ >= kFlushSeconds) {
        lastFlush_ = sample.unixSecond;
        Flush();
    }
}

void HistoryWriter::Prune(int64_t nowUnix)
{
    const int64_t oldestKept = DayOf(nowUnix) - static_cast<int64_t>(keepDays_ - 1) * kDaySeconds;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        std::tm tm{};
        if (name.size() != 14 || name.substr(10) != ".jxh" || !strptime(name.c_str(), "%Y-%m-%d", &tm))
            continue;
        if (static_cast<int64_t>(timegm(&tm)) < oldestKept && static_cast<int64_t>(timegm(&tm)) != dayStart_)
            fs::remove(entry.path(), ec);
    }
}

namespace {

// A day file opened for reading: its descriptor and its whole records.
class DayFile {
public:
    DayFile(const std::string& folder, int64_t day) : day_(day)
    {
        fd_ = ::open(HistoryDayPath(folder, day).c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        uint8_t header[kHistoryHeaderSize];
        int64_t headerDay = 0;
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < static_cast<off_t>(kHistoryHeaderSize) ||
            ::pread(fd_, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
            !DecodeHistoryHeader(header, &headerDay) || headerDay != day)
            return;
        records_ = static_cast<size_t>(st.st_size - static_cast<off_t>(kHistoryHeaderSize)) / kHistoryRecordSize;
    }
    ~DayFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DayFile(const DayFile&) = delete;
    DayFile& operator=(const DayFile&) = delete;

    size_t Records() const { return records_; } // a torn tail is left out
    // Reads `count` records from `first` into out; the number read.
    size_t Read(size_t first, size_t count, uint8_t* out) const
    {
        count = std::min(count, records_ - std::min(first, records_));
        size_t done = 0;
        while (done < count * kHistoryRecordSize) {
            const ssize_t n = ::pread(fd_, out + done, count * kHistoryRecordSize - done,
                                      static_cast<off_t>(kHistoryHeaderSize + first * kHistoryRecordSize + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        return done / kHistoryRecordSize;
    }
    bool Decode(const uint8_t* record, HistorySample* s) const { return DecodeHistoryRecord(record, day_, s); }

private:
    int fd_ = -1;
    int64_t day_;
    size_t records_ = 0;
};

constexpr size_t kBlockRecords = 32768; // 1 MiB a read

} // namespace

bool ForEachHistorySample(const std::string& folder, int64_t fromUnix, int64_t toUnix,
                          const std::function<void(const HistorySample&)>& visit, const std::atomic<bool>* cancelled)
{
    std::vector<uint8_t> block(kBlockRecords * kHistoryRecordSize);
    HistorySample s;
    for (int64_t day = DayOf(fromUnix); day <= toUnix; day += kDaySeconds) {
        const DayFile file(folder, day);
        for (size_t first = 0; first < file.Records(); first += kBlockRecords) {
            if (cancelled && cancelled->load(std::memory_order_relaxed))
                return false;
            const size_t got = file.Read(first, kBlockRecords, block.data());
            for (size_t i = 0; i < got; ++i)
                if (file.Decode(block.data() + i * kHistoryRecordSize, &s) && s.unixSecond >= fromUnix &&
                    s.unixSecond <= toUnix)
                    visit(s);
            if (got < kBlockRecords)
                break;
        }
    }
    return true;
}

std::vector<HistorySample> ReadHistory(const std::string& folder, int64_t fromUnix, int64_t toUnix)
{
    std::vector<HistorySample> samples;
    ForEachHistorySample(folder, fromUnix, toUnix, [&](const HistorySample& s) { samples.push_back(s); });
    return samples;
}

std::vector<PhaseSample> ReadPhaseSamples(const std::string& folder, int64_t fromUnix, int64_t toUnix,
                                          const std::atomic<bool>* cancelled)
{
    PhaseSampleCollector collector;
    if (!ForEachHistorySample(folder, fromUnix, toUnix, [&](const HistorySample& s) { collector.Add(s); }, cancelled))
        return {};
    return collector.Finish();
}

std::optional<HistorySample> ReadSampleAt(const std::string& folder, int64_t unixSecond, int64_t within)
{
    const DayFile file(folder, DayOf(unixSecond));
    // The first record after the second; a record that is not sound counts as earlier.
    size_t lo = 0, hi = file.Records();
    uint8_t record[kHistoryRecordSize];
    HistorySample s;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (file.Read(mid, 1, record) == 1 && file.Decode(record, &s) && s.unixSecond > unixSecond)
            hi = mid;
        else
            lo = mid + 1;
    }
    for (size_t i = lo; i-- > 0 && lo - i <= 8;)
        if (file.Read(i, 1, record) == 1 && file.Decode(record, &s))
            return unixSecond - s.unixSecond <= within ? std::optional(s) : std::nullopt;
    // Just after midnight the sample may be the previous day's last.
    if (unixSecond - DayOf(unixSecond) < within)
        if (const std::optional<HistorySample> before = ReadSampleAt(folder, DayOf(unixSecond) - 1, within);
            before && unixSecond - before->unixSecond <= within)
            return before;
    return std::nullopt;
}
