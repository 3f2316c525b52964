#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QItemSelection;
class QItemSelectionModel;

// The order in which the user picked the selected rows of a view (Ctrl+click one after
// another), kept by each row's identity since rows move when the list is read again. Rows
// picked in one go (Shift+click, select all) come in row order.
class PickOrder : public QObject {
    Q_OBJECT
public:
    PickOrder(QItemSelectionModel *selection, std::function<qint64(int row)> idOf,
              QObject *parent = nullptr);

    // The selected rows' identities, first picked first.
    QList<qint64> ids() const;

private:
    void onChanged(const QItemSelection &selected, const QItemSelection &deselected);
    QList<qint64> idsOf(const QItemSelection &selection) const;

    QItemSelectionModel *m_selection;
    std::function<qint64(int)> m_idOf;
    QList<qint64> m_order;
};
