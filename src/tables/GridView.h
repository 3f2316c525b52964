#pragma once

#include <QTableView>

class Grid;
class GridModel;

// A read-only reading table: shaded fixed header row and column, Arial 9 pt bold, each
// column as wide as its number of spaces of that font.
class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(const Grid &grid, QWidget *parent = nullptr);

    // Follows the table: visibility always, cells and headers only when they changed.
    void render();

    // Width in pixels of a column given in spaces.
    int spacesWidth(int spaces) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyWidths();
    void paintCorner(QWidget *corner);

    const Grid &m_grid;
    GridModel *m_model;
    QWidget *m_corner = nullptr;
};
