#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>
#include <optional>

class QPainter;
struct ExportTable;

// Minimum, maximum and mean of one quantity column over the records that hold a number in it.
struct ReportStatistics {
    QString name; // "CO [ppm]"
    int count = 0;
    double minimum = 0, maximum = 0, mean = 0;
    int decimals = 0; // most decimals the instrument sent in the column

    static QList<ReportStatistics> of(const ExportTable &table);
};

// The chart of one quantity in a report: one point per record slot, the same values and gaps
// as the chart window, drawn as vector lines broken at every gap.
class ReportChart {
public:
    // quantity: the chart window's quantity caption (CO, O2, ... Value1, Value2); a caption
    // that does not fit the page's family picks the family's first quantity.
    ReportChart(const ExportTable &table, const QString &quantity);

    bool isEmpty() const { return m_points.isEmpty(); }
    QString title() const { return m_title; }
    // The unbroken runs of points, x counted from 1 as the chart window counts them.
    QList<QVector<QPointF>> runs() const;

    void paint(QPainter &painter, const QRectF &area) const;

private:
    QString m_title;
    int m_slots = 0;
    QVector<std::optional<double>> m_points;
};
