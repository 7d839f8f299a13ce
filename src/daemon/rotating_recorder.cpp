#include "daemon/rotating_recorder.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
constexpr char kStampFormat[] = "%Y%m%dT%H%M%SZ";
constexpr size_t kStampLength = 16; // 20261209T130000Z
constexpr char kExtension[] = ".zlk";

int64_t FloorTo(int64_t value, int64_t step) { return value - ((value % step) + step) % step; }

// The UTC start second of a stamp, or nothing when the text is not one.
std::optional<int64_t> ParseStamp(const std::string& text)
{
    std::tm tm{};
    const char* end = strptime(text.c_str(), kStampFormat, &tm);
    if (end == nullptr || *end != '\0' || text.size() != kStampLength)
        return std::nullopt;
    return static_cast<int64_t>(timegm(&tm));
}

} // namespace

RotatingRecorder::RotatingRecorder(const RecordingSettings& settings, std::string port)
    : settings_(settings), port_(std::move(port))
{
}

std::string RotatingRecorder::NameOf(const std::string& port, int64_t periodStartS)
{
    const std::time_t t = static_cast<std::time_t>(periodStartS);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, kStampFormat, &tm);
    return port + "_" + stamp + kExtension;
}

int64_t RotatingRecorder::PeriodStart(int64_t utcS) const
{
    return FloorTo(utcS, settings_.rotate == Rotation::Daily ? kDay : kHour);
}

bool RotatingRecorder::OpenPeriod(int64_t periodStartS)
{
    writer_.Close();
    period_ = periodStartS;
    path_ = (std::filesystem::path(settings_.directory) / NameOf(port_, periodStartS)).string();
    RemoveOldFiles(periodStartS);
    // Appending: a restart within the period goes on in the same file.
    if (writer_.Open(path_, true))
        return true;
    problem_ = "cannot open " + path_ + ": " + std::strerror(errno);
    return false;
}

RotatingRecorder::Health RotatingRecorder::Write(int64_t utcS, uint8_t id, const uint8_t* data, uint32_t length)
{
    bool ok = true;
    if (!period_ || *period_ != PeriodStart(utcS))
        ok = OpenPeriod(PeriodStart(utcS));
    if (ok && !writer_.IsOpen())
        ok = writer_.Open(path_, true); // the file failed to open at the period's start: try again
    if (ok && !writer_.WriteFrame(id, data, length)) {
        ok = false;
        problem_ = "cannot write " + path_ + ": " + std::strerror(errno);
    }
    if (ok == !failing_)
        return Health::Same;
    failing_ = !ok;
    return ok ? Health::Recovered : Health::Failed;
}

int RotatingRecorder::RemoveOldFiles(int64_t utcS) const
{
    const std::string prefix = port_ + "_";
    const int64_t period = settings_.rotate == Rotation::Daily ? kDay : kHour;
    const int64_t cutoff = utcS - static_cast<int64_t>(settings_.keepDays) * kDay;
    std::error_code error;
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(settings_.directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || entry.path().extension() != kExtension)
            continue;
        const std::string stamp = name.substr(prefix.size(), name.size() - prefix.size() - std::strlen(kExtension));
        const std::optional<int64_t> start = ParseStamp(stamp);
        if (start && *start + period <= cutoff && std::filesystem::remove(entry.path(), error))
            ++removed;
    }
    return removed;
}
