// Decimal numbers read from text files: an optional
// sign, digits with an optional point and fraction (at least one digit), and
// an optional exponent. Always a point, whatever the user's locale; no
// hexadecimal, infinities or NaNs. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Length of the longest decimal number at the very start of text; 0 if none.
size_t ScanDecimal(std::string_view text);

// The value of text that is exactly one decimal number (as ScanDecimal
// measures it), rounded to the nearest float. A number too large for a float
// gives nothing; one too small becomes zero of its sign.
std::optional<float> DecimalToFloat(std::string_view number);

// The value as a single-precision float, or nothing when it lies outside
// the float range (a send must never carry an infinity).
std::optional<float> NarrowToFloat(long double value);

// The white space that separates values in a text file (space, tab, line ends, form feed).
bool IsTextSpace(char c);
