#include "tables/GridView.h"

#include "tables/Grid.h"
#include "tables/GridModel.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

GridView::GridView(const Grid &grid, QWidget *parent)
    : QTableView(parent), m_grid(grid), m_model(new GridModel(grid, this))
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    font.setBold(true);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);

    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setVisible(grid.fixedRows() > 0);
    verticalHeader()->setVisible(grid.fixedColumns() > 0);

    // The corner cell is the header row's cell of the header column ("Add"); Qt draws that
    // corner as an empty button, so it is painted here with its text.
    m_corner = findChild<QAbstractButton *>();
    if (m_corner) {
        m_corner->setFont(font);
        m_corner->installEventFilter(this);
    }
    applyWidths();
    setVisible(grid.visible());
}

int GridView::spacesWidth(int spaces) const
{
    return QFontMetrics(font()).horizontalAdvance(QString(spaces, QLatin1Char(' ')));
}

void GridView::render()
{
    if (m_model->refresh()) {
        applyWidths();
        if (m_corner) m_corner->update();
    }
    setVisible(m_grid.visible());
}

void GridView::applyWidths()
{
    const QVector<int> &widths = m_grid.columnWidths;
    const int fixed = m_grid.fixedColumns();
    if (fixed > 0 && !widths.isEmpty()) verticalHeader()->setFixedWidth(spacesWidth(widths.at(0)));
    for (int column = fixed; column < m_grid.columnCount(); ++column) {
        if (column < widths.size()) setColumnWidth(column - fixed, spacesWidth(widths.at(column)));
    }
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        paintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::paintCorner(QWidget *corner)
{
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.state |= QStyle::State_Raised;
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, corner);

    // The header column is narrow ("Add" in seven spaces): the text takes the whole cell and
    // shrinks a little where it would otherwise lose its outer letters.
    const QString text = m_model->cornerText();
    const QRect room = corner->rect().adjusted(1, 0, -1, 0);
    QFont f = corner->font();
    while (QFontMetrics(f).horizontalAdvance(text) > room.width() && f.pointSizeF() > 6)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    painter.setFont(f);
    painter.setPen(corner->palette().color(QPalette::ButtonText));
    painter.drawText(room, Qt::AlignCenter, text);
}
