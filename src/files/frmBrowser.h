#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

namespace Browsing {
struct Listing;
}

class MessageSink;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

// The file browser: drive, directory and file lists coupled to each other, the file list
// showing the directory's "*.txt" files. "OK" and a double-click on a file hide it (it keeps
// its lists for the next "Browser"); "Cancel", Escape and the close box end it.
class frmBrowser : public QDialog {
    Q_OBJECT
public:
    frmBrowser(MessageSink &messages, const QString &startDirectory, QWidget *parent = nullptr);

    // The file list's directory, which "Save OK" and "Open OK" use while this browser lives.
    QString directory() const { return m_directory; }
    // The bare name picked in the file list; empty when none is picked.
    QString pickedName() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void fillDrives(const QString &startDirectory);
    void driveChosen(int index);
    bool showDirectory(const QString &path);
    void fillLists(const Browsing::Listing &listing);
    void enterDirectory(QListWidgetItem *item);
    void takeFile(QListWidgetItem *item);

    MessageSink &m_messages;
    QComboBox *m_drives = nullptr;
    QLabel *m_path = nullptr;
    QListWidget *m_dirs = nullptr;
    QListWidget *m_files = nullptr;
    QString m_directory;
    int m_drive = -1;
    QHash<int, QString> m_lastOnDrive; // each drive's current directory: the last one shown
};
