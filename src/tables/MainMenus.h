#pragma once

#include <QHash>
#include <QString>

class ElementViews;
class QAction;
class QMenu;
class QMenuBar;
class ScreenModel;

// The main window's menu bar: "File", "Mode" and "Setup" with their entries, each entry a
// QAction named as in the design (mnuOpen, mnuL0, ...), bound to its model element. Every
// entry has an access key so the whole menu can be worked from the keyboard.
class MainMenus {
public:
    MainMenus(QMenuBar *bar, ScreenModel &model, ElementViews &views);

    // An entry or a menu's own action by design name; nullptr for an unknown name.
    QAction *action(const QString &name) const { return m_actions.value(name); }

    // The caption as shown in the menu: the design caption with the entry's access key.
    static QString withAccessKey(const QString &name, const QString &caption);

private:
    QMenu *addMenu(QMenuBar *bar, const char *name);
    QMenu *addSubmenu(QMenu *parent, const char *name);
    QAction *addEntry(QMenu *menu, const char *name);
    void addSeparator(QMenu *menu, const char *name);
    void bind(QAction *action, const char *name);

    ScreenModel &m_model;
    ElementViews &m_views;
    QHash<QString, QAction *> m_actions;
};
