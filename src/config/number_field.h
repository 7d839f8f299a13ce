// Numbers typed into the configuration dialogs' text fields.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QLineEdit;

// An ordinary decimal number: optional sign, digits with an optional
// fraction (point as separator, whatever the user's locale), an optional
// exponent, blanks around it allowed. Anything else, and a value too large
// for a double, gives nothing.
std::optional<double> ParseDecimal(const QString& text);

// Parses the field's text; on failure shows "'<text>' is not a valid floating
// point value" in a box with an OK button and gives nothing.
std::optional<double> ReadNumberField(const QLineEdit* field);

// The field's number times scale, rounded once to single precision. A value
// beyond the float range would travel as an infinity: it is refused with the
// same box as text that is no number.
std::optional<float> ReadFloatField(const QLineEdit* field, long double scale = 1.0L);

// Truncates toward zero and keeps the low 8 bits (-1 -> 255, 300 -> 44),
// defined for every finite value however large.
uint8_t LowByteOfTruncated(double value);
