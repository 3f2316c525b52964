#include "archive/PickOrder.h"

#include <QItemSelectionModel>
#include <algorithm>

PickOrder::PickOrder(QItemSelectionModel *selection, std::function<qint64(int row)> idOf,
                     QObject *parent)
    : QObject(parent), m_selection(selection), m_idOf(std::move(idOf))
{
    connect(selection, &QItemSelectionModel::selectionChanged, this, &PickOrder::onChanged);
}

QList<qint64> PickOrder::idsOf(const QItemSelection &selection) const
{
    QList<int> rows;
    for (const QModelIndex &index : selection.indexes())
        if (!rows.contains(index.row())) rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<qint64> ids;
    for (const int row : rows)
        ids << m_idOf(row);
    return ids;
}

void PickOrder::onChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    for (const qint64 id : idsOf(deselected))
        m_order.removeAll(id);
    for (const qint64 id : idsOf(selected))
        if (!m_order.contains(id)) m_order << id;
}

QList<qint64> PickOrder::ids() const
{
    // A list read again drops the selection without telling; what is selected now decides.
    QItemSelection now;
    for (const QModelIndex &index : m_selection->selectedRows())
        now.select(index, index);
    const QList<qint64> selected = idsOf(now);
    QList<qint64> ids;
    for (const qint64 id : m_order)
        if (selected.contains(id)) ids << id;
    for (const qint64 id : selected)
        if (!ids.contains(id)) ids << id;
    return ids;
}
