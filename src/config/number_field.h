// Reading a dialog's text field as a number for a send. A field that is no
// number shows the conversion error "'%s' is not a valid floating point
// value" with the field's text, and gives nothing: the caller sends nothing.
#pragma once

#include <optional>

#include <QString>

class QLineEdit;

// Shows the conversion error for text.
void ShowNotANumber(const QString& text);

// The field's number; on failure the error has been shown.
std::optional<double> ReadNumberField(const QLineEdit* edit);
// The field's number as a single-precision float; a number beyond the float
// range counts as no number too (it would travel as an infinity).
std::optional<float> ReadFloatField(const QLineEdit* edit);
