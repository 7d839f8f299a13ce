#include "describe/timing_words.h"

#include <array>
#include <utility>

namespace {

template <size_t N>
std::string Lookup(const std::array<std::pair<int, const char*>, N>& table, int code, const char* what)
{
    for (const auto& [value, text] : table)
        if (value == code)
            return text;
    return std::string(what) + " " + std::to_string(code);
}

std::vector<std::string> BitWords(uint16_t bits, const std::array<const char*, 16>& names)
{
    std::vector<std::string> words;
    for (size_t bit = 0; bit < names.size(); ++bit) {
        if (!(bits & (1u << bit)))
            continue;
        words.push_back(names[bit] ? std::string(names[bit]) : "bit " + std::to_string(bit));
    }
    return words;
}

} // namespace

std::string ReceiverModeText(uint8_t mode)
{
    static constexpr std::array<std::pair<int, const char*>, 7> kModes = {{
        {0, "Automatic 2-D/3-D"},
        {1, "Single satellite"},
        {3, "2-D"},
        {4, "3-D"},
        {5, "DGPS reference"},
        {6, "2-D clock hold"},
        {7, "Over-determined clock"},
    }};
    return Lookup(kModes, mode, "Mode");
}

std::string DiscipliningModeText(uint8_t mode)
{
    static constexpr std::array<std::pair<int, const char*>, 6> kModes = {{
        {0, "Normal"},
        {1, "Power-up"},
        {2, "Auto holdover"},
        {3, "Manual holdover"},
        {4, "Recovery"},
        {6, "Disciplining disabled"},
    }};
    return Lookup(kModes, mode, "Mode");
}

std::string DiscipliningActivityText(uint8_t activity)
{
    static constexpr std::array<std::pair<int, const char*>, 8> kActivities = {{
        {0, "Phase locking"},
        {1, "Warming up"},
        {2, "Frequency locking"},
        {3, "Placing PPS"},
        {4, "Initialising loop filter"},
        {5, "Compensating oscillator"},
        {6, "Inactive"},
        {8, "Recovery"},
    }};
    return Lookup(kActivities, activity, "Activity");
}

std::string DecodingStatusText(uint8_t status)
{
    static constexpr std::array<std::pair<int, const char*>, 9> kStatus = {{
        {0x00, "Doing fixes"},
        {0x01, "No time yet"},
        {0x03, "PDOP too high"},
        {0x08, "No usable satellites"},
        {0x09, "Only 1 usable satellite"},
        {0x0A, "Only 2 usable satellites"},
        {0x0B, "Only 3 usable satellites"},
        {0x0C, "Chosen satellite unusable"},
        {0x10, "Fix rejected"},
    }};
    return Lookup(kStatus, status, "Status");
}

std::vector<std::string> MinorAlarmWords(uint16_t bits)
{
    static constexpr std::array<const char*, 16> kNames = {
        "control voltage near rail", "antenna open", "antenna shorted", "not tracking satellites",
        "not disciplining", "survey in progress", "no stored position", "leap second pending",
        "test mode", "position questionable", nullptr, "almanac incomplete",
        "PPS not generated", nullptr, nullptr, nullptr};
    return BitWords(bits, kNames);
}

std::vector<std::string> CriticalAlarmWords(uint16_t bits)
{
    // No critical bit has a known meaning: every set bit shows by number.
    static constexpr std::array<const char*, 16> kNames = {};
    return BitWords(bits, kNames);
}

std::string AlarmText(const std::vector<std::string>& words)
{
    if (words.empty())
        return "none";
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : ", ") + w;
    return text;
}
