#include "tables/GridModel.h"

#include "tables/Grid.h"

GridModel::GridModel(const Grid &grid, QObject *parent)
    : QAbstractTableModel(parent), m_grid(grid), m_shownRevision(grid.revision())
{
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_grid.rowCount() - m_grid.fixedRows());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_grid.columnCount() - m_grid.fixedColumns());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return m_grid.text(index.row() + m_grid.fixedRows(), index.column() + m_grid.fixedColumns());
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return m_grid.fixedRows() > 0 ? m_grid.text(0, section + m_grid.fixedColumns()) : QString();
    return m_grid.fixedColumns() > 0 ? m_grid.text(section + m_grid.fixedRows(), 0) : QString();
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString GridModel::cornerText() const
{
    return m_grid.fixedRows() > 0 && m_grid.fixedColumns() > 0 ? m_grid.text(0, 0) : QString();
}

bool GridModel::refresh()
{
    if (m_grid.revision() == m_shownRevision) return false;
    beginResetModel();
    m_shownRevision = m_grid.revision();
    endResetModel();
    return true;
}
