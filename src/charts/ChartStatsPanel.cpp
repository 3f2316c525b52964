#include "charts/ChartStatsPanel.h"

#include "charts/ChartReadOut.h"
#include "charts/ChartSeries.h"
#include "charts/ChartStatistics.h"

#include <QHeaderView>
#include <limits>

ChartStatsPanel::ChartStatsPanel(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("chartStatistics"));
    setColumnCount(5);
    setHorizontalHeaderLabels({QStringLiteral("Minimum"), QStringLiteral("Maximum"),
                               QStringLiteral("Mean"), QStringLiteral("Values"),
                               QStringLiteral("Gaps")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ChartStatsPanel::sizeHint() const
{
    // Room for the four rows of a chart with an overlay, and no more: the chart takes the rest.
    const int row = verticalHeader()->defaultSectionSize();
    return QSize(QTableWidget::sizeHint().width(),
                 horizontalHeader()->sizeHint().height() + 4 * row + 2 * frameWidth());
}

void ChartStatsPanel::showStatistics(const ChartSeries *series, const ChartSeries *overlay,
                                     double from, double to)
{
    setRowCount(0);
    if (!series) return;
    addRows(*series, from, to);
    if (overlay) addRows(*overlay, from, to);
}

void ChartStatsPanel::addRows(const ChartSeries &series, double from, double to)
{
    const QString whole =
        series.pages.size() > 1 ? QStringLiteral("all pages") : QStringLiteral("page");
    const std::pair<QString, ChartStatistics> rows[] = {
        {whole, ChartStatistics::of(series)},
        {QStringLiteral("in view"), ChartStatistics::of(series, from, to)}};
    for (const auto &[range, stats] : rows) {
        const int row = rowCount();
        insertRow(row);
        setVerticalHeaderItem(row,
                              new QTableWidgetItem(series.quantity + QStringLiteral(", ") + range));
        const QString none = QStringLiteral("-");
        const QString cells[] = {stats.values ? ChartReadOut::number(stats.min) : none,
                                 stats.values ? ChartReadOut::number(stats.max) : none,
                                 stats.values ? ChartReadOut::number(stats.mean) : none,
                                 QString::number(stats.values), QString::number(stats.gaps)};
        for (int c = 0; c < 5; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(row, c, item);
        }
    }
}

QString ChartStatsPanel::rowText(int row) const
{
    QStringList cells{verticalHeaderItem(row) ? verticalHeaderItem(row)->text() : QString()};
    for (int c = 0; c < columnCount(); ++c)
        cells << (item(row, c) ? item(row, c)->text() : QString());
    return cells.join(QLatin1Char('|'));
}
