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

// The nearest single float; beyond its range the signed infinity (the plain
// conversion would be undefined there).
float ToSingle(double value);

// Truncates toward zero and keeps the low 8 bits (-1 -> 255, 300 -> 44),
// defined for every finite value however large.
uint8_t LowByteOfTruncated(double value);
