#include "tables/Grid.h"

#include <QStringList>
#include <algorithm>

Grid::Grid(int rows, int columns, int fixedRows, int fixedColumns)
    : m_rows(std::max(0, rows)), m_columns(std::max(0, columns)), m_fixedRows(fixedRows),
      m_fixedColumns(fixedColumns), m_cells(m_rows * m_columns)
{
}

void Grid::setRowCount(int rows)
{
    rows = std::max(0, rows);
    if (rows == m_rows) return;
    m_rows = rows;
    m_cells.resize(m_rows * m_columns);
    ++m_revision;
}

void Grid::setColumnCount(int columns)
{
    columns = std::max(0, columns);
    if (columns == m_columns) return;
    QVector<QString> cells(m_rows * columns);
    const int keep = std::min(columns, m_columns);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < keep; ++c)
            cells[r * columns + c] = m_cells[r * m_columns + c];
    m_cells.swap(cells);
    m_columns = columns;
    ++m_revision;
}

void Grid::clear()
{
    for (QString &cell : m_cells)
        cell.clear();
    ++m_revision;
}

bool Grid::contains(int row, int column) const
{
    return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
}

QString Grid::text(int row, int column) const
{
    return contains(row, column) ? m_cells[row * m_columns + column] : QString();
}

void Grid::setText(int row, int column, const QString &text)
{
    if (!contains(row, column)) return;
    m_cells[row * m_columns + column] = text;
    ++m_revision;
}

void Grid::writeHeaders(const QStringList &headers)
{
    clear();
    for (int c = 0; c < headers.size(); ++c)
        setText(0, c, headers[c]);
}

void Grid::setVisible(bool visible)
{
    if (visible == m_visible) return;
    m_visible = visible;
    ++m_revision;
}
