#pragma once

#include <QString>
#include <QVector>

// A table of text cells addressed by (row, column) from 0; row 0 is the header row.
// Reads outside the table give "" and writes outside it are ignored, so a bad address
// from the instrument or a file can never reach memory that is not a cell.
class Grid {
public:
    Grid(int rows, int columns, int fixedRows, int fixedColumns);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    int fixedRows() const { return m_fixedRows; }
    int fixedColumns() const { return m_fixedColumns; }

    // Both keep the texts of the cells that remain.
    void setRowCount(int rows);
    void setColumnCount(int columns);

    // Empties every cell; the row and column counts stay.
    void clear();

    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    bool contains(int row, int column) const;

    // Writes texts into row 0 from column 0, after clearing the whole table.
    void writeHeaders(const QStringList &headers);

    bool visible() const { return m_visible; }
    void setVisible(bool visible);

    // Column widths in space characters of the table font; fixed when the window is built.
    QVector<int> columnWidths;

    // The current cell, which the data-file writer moves over every cell it writes.
    int currentRow = 0;
    int currentColumn = 0;

    // Grows on every change, so a view can skip redrawing a table that did not change.
    quint64 revision() const { return m_revision; }

private:
    int m_rows;
    int m_columns;
    int m_fixedRows;
    int m_fixedColumns;
    bool m_visible = true;
    quint64 m_revision = 0;
    QVector<QString> m_cells;
};
