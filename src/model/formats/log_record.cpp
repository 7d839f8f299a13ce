#include "model/formats/log_record.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// Appends printf-formatted text; values such as a huge "%f" never overrun.
void AppendF(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendF(std::string& out, const char* format, ...)
{
    char small[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof small) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.resize(static_cast<size_t>(n));
    out += big;
}

bool InFix(const PortReportRecord& r, int prn)
{
    // An empty channel (PRN 0) is never in the fix, whatever the unused
    // entries of the fix list hold.
    if (prn == 0)
        return false;
    for (int32_t sv : r.fixSvs)
        if (sv == prn || sv == -prn)
            return true;
    return false;
}

void AppendLevels(std::string& out, const PortReportRecord& r)
{
    for (int ch = 0; ch < kChannels; ++ch) {
        const int prn = r.latchedPrn[static_cast<size_t>(ch)];
        const int logged = InFix(r, prn) ? prn + 128 : prn;
        AppendF(out, "%d %0.1f ", logged, static_cast<double>(r.latchedLevel[static_cast<size_t>(ch)]));
    }
}

void AppendFloats(std::string& out, const char* format, double a, double b, double c)
{
    AppendF(out, format, a);
    AppendF(out, format, b);
    AppendF(out, format, c);
}

bool On(const LogSelection& s, LogField f) { return s[static_cast<size_t>(f)]; }

} // namespace

std::string BuildLogLine(const LogSelection& s, const PortReportRecord& r)
{
    std::string out;
    if (On(s, LogField::TOW))
        AppendF(out, "%.2f ", static_cast<double>(r.fixTime));
    if (On(s, LogField::Bias))
        AppendF(out, "%f ", r.biasNs);
    if (On(s, LogField::BiasRate))
        AppendF(out, "%f ", static_cast<double>(r.biasRatePpb));
    if (On(s, LogField::Levels))
        AppendLevels(out, r);
    if (On(s, LogField::PosLLA))
        AppendFloats(out, "%f ", r.latDeg, r.lonDeg, r.altM);
    if (On(s, LogField::PosXYZ))
        AppendFloats(out, "%f ", r.ecefX, r.ecefY, r.ecefZ);
    if (On(s, LogField::VelENU))
        AppendFloats(out, "%f ", r.velEast, r.velNorth, r.velUp);
    if (On(s, LogField::VelXYZ))
        AppendFloats(out, "%f ", r.velX, r.velY, r.velZ);
    if (On(s, LogField::Mode))
        AppendF(out, "%d ", r.fixMode);
    if (On(s, LogField::Health))
        AppendF(out, "%d %d %d ", r.healthCode, r.healthErrors, r.statusFlags);
    if (On(s, LogField::DGPS))
        AppendF(out, "%d ", r.dgpsMode);
    if (On(s, LogField::DOPs)) {
        for (float dop : {r.pdop, r.hdop, r.vdop, r.tdop})
            AppendF(out, "%.1f ", static_cast<double>(dop));
    }
    return out;
}

void RestartLevelLatch(PortReportRecord& r)
{
    r.latchRestart.fill(1);
    r.chanPrn.fill(0);
    r.chanLevel.fill(0.0f);
}

std::string LogFileName(const std::string& root, int com)
{
    return root + std::to_string(com) + ".dat";
}

int32_t ParseLogInterval(const std::string& text, int32_t previous)
{
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(p, &end, 10);
    if (end == p)
        value = previous;
    else if (errno == ERANGE || value > INT32_MAX)
        value = value < 0 ? INT32_MIN : INT32_MAX;
    if (value < 1)
        value = 1;
    return static_cast<int32_t>(value);
}

float ElapsedWeekSeconds(float later, float earlier)
{
    float d = later - earlier;
    if (d < 0)
        d += 604800.0f;
    return d;
}

std::string LastSetText(const std::string& line)
{
    std::string shown = line;
    if (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    for (char& c : shown)
        if (c == ' ')
            c = '/';
    return " " + shown;
}
