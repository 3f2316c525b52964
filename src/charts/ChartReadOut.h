#pragma once

#include <QString>

struct ChartSeries;

// What the chart tells about the point under the pointer.
namespace ChartReadOut {

// The point whose slot the position x falls in (a point stands at x = index + 1 and owns the
// half point either side); -1 where there is none, or the slot is free room after the
// page's last record.
int pointAt(const ChartSeries &series, double x);

// Lines of the read-out: the page (when several are joined), the record's address, date and
// time; then the value and unit of the quantity, and of the overlay where one is drawn.
QString text(const ChartSeries &series, int point, const ChartSeries *overlay = nullptr);

// A value as the read-out and the statistics show it: up to six significant digits, a
// decimal point whatever the user's locale, as the instrument writes them.
QString number(double value);

} // namespace ChartReadOut
