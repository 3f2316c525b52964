#pragma once

#include "Streams.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "tables/Modes.h"

#include <QStringList>

// A page as the main window holds it after a download: the core switched to the mode, and
// cells written from row 1 down into one column of the mode's table.
struct ChartPage : Core {
    explicit ChartPage(int mode) : Core(mode) {}

    Grid &table() { return isSingleLogger(m.CurrentMode) ? m.MSFlexGrid3 : m.MSFlexGrid1; }

    void fill(int column, const QStringList &cells)
    {
        for (int i = 0; i < cells.size(); ++i)
            table().setText(i + 1, column, cells[i]);
    }
    void fill(const QString &quantity, const QStringList &cells)
    {
        fill(chartQuantityByCaption(quantity)->column, cells);
    }
};

// The points of a series as text: the number as QString::number writes it, or "gap".
inline QStringList pointTexts(const QVector<double> &values)
{
    QStringList out;
    for (double v : values)
        out << (v == ChartNumbers::kGap ? QStringLiteral("gap") : QString::number(v));
    return out;
}

// n copies of "gap".
inline QStringList gaps(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("gap");
    return out;
}
