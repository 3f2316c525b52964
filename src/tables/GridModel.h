#pragma once

#include <QAbstractTableModel>

class Grid;

// A reading table as Qt's item views see it: the fixed header row and column become the
// view's headers, so they stay in place while the data scroll.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(const Grid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The cell where the header row meets the header column.
    QString cornerText() const;

    // Picks up the table's changes; false when there were none since the last call.
    bool refresh();

private:
    const Grid &m_grid;
    quint64 m_shownRevision;
};
