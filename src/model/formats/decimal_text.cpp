#include "model/formats/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view text, size_t i)
{
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// Decimal order of the number (m with 10^(m-1) <= |value| < 10^m),
// saturated; tells an overflow from an underflow when the conversion reports
// the number out of range. The number has passed ScanDecimal, without sign.
long Magnitude(std::string_view number)
{
    const size_t expAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, expAt);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return 0;
    long order = first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point - 1);
    long exponent = 0;
    if (expAt != std::string_view::npos) {
        for (const char c : number.substr(expAt + 1))
            if (IsDigit(c) && exponent < 1000000)
                exponent = exponent * 10 + (c - '0');
        if (number.find('-', expAt) != std::string_view::npos)
            exponent = -exponent;
    }
    return order + exponent;
}

} // namespace

bool IsTextSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

size_t ScanDecimal(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t intStart = i;
    i = SkipDigits(text, i);
    size_t mantissaDigits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const size_t fracStart = i + 1;
        const size_t fracEnd = SkipDigits(text, fracStart);
        mantissaDigits += fracEnd - fracStart;
        i = fracEnd;
    }
    if (mantissaDigits == 0)
        return 0;
    // An exponent counts only when it has digits: "2e" is the number 2 and a letter.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t expEnd = SkipDigits(text, j);
        if (expEnd > j)
            i = expEnd;
    }
    return i;
}

std::optional<float> DecimalToFloat(std::string_view number)
{
    if (number.empty() || ScanDecimal(number) != number.size())
        return std::nullopt;
    const bool negative = number.front() == '-';
    if (number.front() == '+' || negative)
        number.remove_prefix(1); // from_chars takes no '+'; the sign is put back below
    float value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (Magnitude(number) > 0)
            return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<float> NarrowToFloat(long double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}
