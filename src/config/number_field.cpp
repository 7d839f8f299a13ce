#include "config/number_field.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include <QLineEdit>

#include "model/formats/decimal_text.h"
#include "platform/ui.h"

namespace {

void ShowNotANumber(const QString& text)
{
    ui::Message(QString("'%1' is not a valid floating point value").arg(text), "JX_Monitor", ui::Icon::Error);
}

} // namespace

std::optional<double> ParseDecimal(const QString& text)
{
    std::string_view digits;
    const std::string utf8 = text.toStdString();
    digits = utf8;
    while (!digits.empty() && IsTextSpace(digits.front()))
        digits.remove_prefix(1);
    while (!digits.empty() && IsTextSpace(digits.back()))
        digits.remove_suffix(1);
    if (digits.empty() || ScanDecimal(digits) != digits.size())
        return std::nullopt;
    if (digits.front() == '+')
        digits.remove_prefix(1); // from_chars takes no plus sign
    double value = 0;
    // from_chars ignores the locale, so the point is always the separator.
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ReadNumberField(const QLineEdit* field)
{
    const QString text = field->text();
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        ShowNotANumber(text);
    return value;
}

uint8_t LowByteOfTruncated(double value)
{
    double low = std::fmod(std::trunc(value), 256.0);
    if (low < 0)
        low += 256.0;
    return static_cast<uint8_t>(low);
}

std::optional<float> ReadFloatField(const QLineEdit* field, long double scale)
{
    const auto value = ReadNumberField(field);
    if (!value)
        return std::nullopt;
    const auto narrow = NarrowToFloat(static_cast<long double>(*value) * scale);
    if (!narrow)
        ShowNotANumber(field->text());
    return narrow;
}
