#pragma once

#include "files/BrowserKeeper.h"
#include "files/RecentFiles.h"
#include "files/SaveOpen.h"

#include <QList>
#include <QObject>

class MessageSink;
class QAction;
class QMenu;
class QWidget;
class ScreenModel;

// File > Save, File > Open and the recent files listed below the File menu's own entries.
class FileMenu : public QObject {
    Q_OBJECT
public:
    // The recent files come from the user's settings.
    FileMenu(ScreenModel &model, MessageSink &messages, QMenu *fileMenu, QWidget *window);

    void save();
    void open();
    // Save and Open themselves, for those who follow the files kept.
    SaveOpen &files() { return m_files; }

private:
    void showDialog(FileDialogKind kind);
    void openRecent(const QString &path);
    void listRecent();

    RecentFiles m_recent;
    SaveOpen m_files;
    BrowserKeeper m_browsers;
    QMenu *m_menu;
    QWidget *m_window;
    QList<QAction *> m_recentEntries;
};
