#pragma once

#include <QString>
#include <optional>

// A whole number in the 16-bit signed range written as an optional sign and decimal digits,
// nothing else (no blanks, no point, no exponent, no hex). Anything else gives nullopt.
std::optional<int> parseWholeNumber(const QString &text);
