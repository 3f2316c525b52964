#include "files/FileMenu.h"

#include "files/frmSave.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QWidget>

FileMenu::FileMenu(ScreenModel &model, MessageSink &messages, QMenu *fileMenu, QWidget *window)
    : QObject(window), m_files(model, messages, m_recent), m_browsers(messages, window),
      m_menu(fileMenu), m_window(window)
{
    listRecent();
}

void FileMenu::save()
{
    if (m_files.saveAllowed()) showDialog(FileDialogKind::Save);
}

void FileMenu::open()
{
    if (m_files.openAllowed()) showDialog(FileDialogKind::Open);
}

void FileMenu::showDialog(FileDialogKind kind)
{
    auto *dialog = new frmSave(m_files, m_browsers, kind, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Modal: the tables and the mode cannot change while a name is being chosen.
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &QDialog::finished, this, &FileMenu::listRecent);
    dialog->show();
}

void FileMenu::openRecent(const QString &path)
{
    // As "Open OK" would: a browser left hidden ends with the file read.
    if (m_files.openRecent(path)) m_browsers.drop();
    listRecent();
}

void FileMenu::listRecent()
{
    for (QAction *entry : m_recentEntries) {
        m_menu->removeAction(entry);
        delete entry;
    }
    m_recentEntries.clear();
    const QStringList files = m_recent.files();
    if (files.isEmpty()) return;

    QAction *separator = m_menu->addSeparator();
    separator->setObjectName(QStringLiteral("SeparatorRecent"));
    m_recentEntries << separator;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QString text = QDir::toNativeSeparators(path);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *entry = m_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
        entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        entry->setMenuRole(QAction::NoRole);
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
        m_recentEntries << entry;
    }
}
