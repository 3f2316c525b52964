#pragma once

#include "tables/MainLayout.h"

#include <QHash>
#include <QList>
#include <QString>

class GridView;
class QWidget;
class ScreenModel;

// Creates the controls of the main window's design from their twip placements, each with
// its design name as object name, its font and its look.
class ControlBuilder {
public:
    explicit ControlBuilder(ScreenModel &model) : m_model(model) {}

    void build(QWidget *container, const std::vector<Placed> &placed);

    QWidget *control(const QString &name) const { return m_controls.value(name); }
    const QHash<QString, QWidget *> &controls() const { return m_controls; }
    const QList<GridView *> &grids() const { return m_grids; }

private:
    QWidget *create(const Placed &placed, QWidget *parent);

    ScreenModel &m_model;
    QHash<QString, QWidget *> m_controls;
    QList<GridView *> m_grids;
};
