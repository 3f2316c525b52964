#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// How a table cell becomes a chart value.
namespace ChartNumbers {

// The chart control's hidden-point value: a point holding it is not drawn and breaks the line.
constexpr double kGap = 1.0E308;

// "", "OFL", "-", "NA" and "OPEN" carry no measurement. Exact and case-sensitive.
bool isGapText(const QString &text);

// A plain decimal with an optional sign, point and exponent ("12.4", "-3.5", "+1e3", ".5"),
// read the same in every locale. Anything else (a comma, blanks, letters, hex, a value too
// large to plot) gives nullopt.
std::optional<double> readNumber(const QString &text);

// The value a cell gives the series: its number, or nullopt for a gap. A cell that is neither
// a gap text nor a number ("ERR", a lower-case "ofl", "12,5") is a gap too: there is nothing
// sensible to plot for it, and dropping it keeps the rest of the page readable.
std::optional<double> cellValue(const QString &text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, -3.5 -> -4, -0.4 -> 0),
// kept inside the 32-bit range less one so that the axis maximum (bound + 1) still fits.
qint32 toWholeNumber(double value);

} // namespace ChartNumbers
