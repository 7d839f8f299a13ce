#include "config/number_field.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include <QLineEdit>
#include <QRegularExpression>

#include "platform/ui.h"

std::optional<double> ParseDecimal(const QString& text)
{
    static const QRegularExpression kNumber(
        QStringLiteral(R"(^\s*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)\s*$)"));
    const QRegularExpressionMatch match = kNumber.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    std::string digits = match.captured(1).toStdString();
    if (digits.front() == '+')
        digits.erase(0, 1); // from_chars takes no plus sign
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
        ui::Message(QString("'%1' is not a valid floating point value").arg(text), "JX_Monitor", ui::Icon::Error);
    return value;
}

uint8_t LowByteOfTruncated(double value)
{
    double low = std::fmod(std::trunc(value), 256.0);
    if (low < 0)
        low += 256.0;
    return static_cast<uint8_t>(low);
}

float ToSingle(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (value > kMax)
        return kInfinity;
    if (value < -kMax)
        return -kInfinity;
    return static_cast<float>(value);
}
