#include "config/number_field.h"

#include <QLineEdit>

#include "config/decimal_text.h"
#include "platform/ui.h"

void ShowNotANumber(const QString& text)
{
    ui::Message(QStringLiteral("'%1' is not a valid floating point value").arg(text), QStringLiteral("Error"),
                ui::Icon::Error);
}

std::optional<double> ReadNumberField(const QLineEdit* edit)
{
    const QString text = edit->text();
    const auto value = ParseDecimalField(text.toStdString());
    if (!value)
        ShowNotANumber(text);
    return value;
}

std::optional<float> ReadFloatField(const QLineEdit* edit)
{
    const auto value = ReadNumberField(edit);
    if (!value)
        return std::nullopt;
    const auto narrow = NarrowToFloat(*value);
    if (!narrow)
        ShowNotANumber(edit->text());
    return narrow;
}
