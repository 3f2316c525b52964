#include "tables/MainMenus.h"

#include "app/ScreenModel.h"
#include "tables/ElementViews.h"

#include <QMenu>
#include <QMenuBar>

namespace {
// The letter each entry is reached by, unique within its menu.
const QHash<QString, QChar> &accessKeys()
{
    static const QHash<QString, QChar> keys = {
        {"mnuFile", 'F'},       {"mnuOpen", 'O'},   {"mnuSave", 'S'},      {"mnuPrint", 'P'},
        {"mnuPrintSetup", 'u'}, {"mnuMode", 'M'},   {"mnuReal", 'R'},      {"mnuStore", 'S'},
        {"mnuLogger", 'L'},     {"mnuSingle", 'i'}, {"mnuTightness", 'T'}, {"mnuSetup", 'S'},
        {"mnuSet", 'C'},        {"mnuL0", '0'},     {"mnuL1", '1'},        {"mnuL2", '2'},
        {"mnuL3", '3'},         {"mnuSL0", '0'},    {"mnuSL1", '1'},       {"mnuSL2", '2'},
        {"mnuSL3", '3'},        {"mnuSL4", '4'},
    };
    return keys;
}
} // namespace

MainMenus::MainMenus(QMenuBar *bar, ScreenModel &model, ElementViews &views)
    : m_model(model), m_views(views)
{
    QMenu *file = addMenu(bar, "mnuFile");
    addEntry(file, "mnuOpen");
    addEntry(file, "mnuSave");
    addSeparator(file, "Separator1");
    addEntry(file, "mnuPrint");
    addEntry(file, "mnuPrintSetup");
    addSeparator(file, "Separator2");
    addEntry(file, "mnuExit");

    QMenu *mode = addMenu(bar, "mnuMode");
    addEntry(mode, "mnuReal");
    addEntry(mode, "mnuStore");
    QMenu *logger = addSubmenu(mode, "mnuLogger");
    for (const char *page : {"mnuL0", "mnuL1", "mnuL2", "mnuL3"})
        addEntry(logger, page);
    QMenu *single = addSubmenu(mode, "mnuSingle");
    for (const char *page : {"mnuSL0", "mnuSL1", "mnuSL2", "mnuSL3", "mnuSL4"})
        addEntry(single, page);
    addEntry(mode, "mnuTightness");

    QMenu *setup = addMenu(bar, "mnuSetup");
    addEntry(setup, "mnuSet");
}

QString MainMenus::withAccessKey(const QString &name, const QString &caption)
{
    // A caption with its own access key ("Exit (&X)") keeps it.
    if (caption.contains(QLatin1Char('&'))) return caption;
    const QChar key = accessKeys().value(name);
    const qsizetype at = key.isNull() ? -1 : caption.indexOf(key);
    if (at < 0) return caption;
    QString text = caption;
    text.insert(at, QLatin1Char('&'));
    return text;
}

QMenu *MainMenus::addMenu(QMenuBar *bar, const char *name)
{
    auto *menu = new QMenu(bar);
    menu->setObjectName(QString::fromLatin1(name));
    bar->addMenu(menu);
    bind(menu->menuAction(), name);
    return menu;
}

QMenu *MainMenus::addSubmenu(QMenu *parent, const char *name)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    parent->addMenu(menu);
    bind(menu->menuAction(), name);
    return menu;
}

QAction *MainMenus::addEntry(QMenu *menu, const char *name)
{
    QAction *action = menu->addAction(QString());
    bind(action, name);
    return action;
}

void MainMenus::addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void MainMenus::bind(QAction *action, const char *name)
{
    const QString key = QString::fromLatin1(name);
    action->setObjectName(key);
    // The design has no shortcut keys; the menu's own key handling is all there is.
    action->setMenuRole(QAction::NoRole);
    m_actions.insert(key, action);
    m_views.bind(*m_model.element(key), action,
                 [key](const QString &caption) { return withAccessKey(key, caption); });
}
