#pragma once

#include "Streams.h"
#include "common/RecordingMessages.h"
#include "files/frmBrowser.h"
#include "files/frmSave.h"
#include "tables/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The stream file the instrument sends for a mode.
inline QByteArray streamOf(int mode)
{
    static const char *const names[] = {"real",    "store",   "logger0", "logger1",
                                        "logger2", "logger3", "single0", "single1",
                                        "single2", "single3", "single4", "tightness"};
    QFile f(QStringLiteral(NRV508_TEST_DATA "/streams/%1.txt").arg(names[mode]));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    return parent ? parent->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

// The program and its main window, driven as a user drives them: File > Save and File > Open
// from the real File menu. Message boxes are recorded and answered as scripted.
struct FileFixture {
    DevicePort port; // never opened
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &m = program.model;
    std::unique_ptr<frmMain> window;
    QMenu *fileMenu = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;

    FileFixture()
    {
        program.startUp();
        window = std::make_unique<frmMain>(program);
        fileMenu = window->findChild<QAction *>(QStringLiteral("mnuFile"))->menu();
        mnuOpen = window->findChild<QAction *>(QStringLiteral("mnuOpen"));
        mnuSave = window->findChild<QAction *>(QStringLiteral("mnuSave"));
        window->show();
    }
    ~FileFixture()
    {
        // Dialogs a failed check left open go with the window, not with the next test.
        for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
            QApplication::activeModalWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <typename T = QWidget> T *find(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    // A download of the mode's stream, through the mode switch and the reception pass.
    void download(int mode)
    {
        program.modes.switchTo(mode);
        takeReceived(m, streamOf(mode));
        program.reception.run();
        m.notify();
    }

    // The modal window on top: the file dialog, the browser, or nullptr.
    static QWidget *modal() { return QApplication::activeModalWidget(); }
    static frmSave *dialog() { return qobject_cast<frmSave *>(modal()); }
    static frmBrowser *browser() { return qobject_cast<frmBrowser *>(modal()); }

    frmSave *save()
    {
        mnuSave->trigger();
        return dialog();
    }
    frmSave *open()
    {
        mnuOpen->trigger();
        return dialog();
    }

    static void click(QWidget *window, const char *button)
    {
        QPushButton *b = child<QPushButton>(window, button);
        QVERIFY2(b && b->isVisible(), button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void type(QWidget *window, const QString &name)
    {
        QLineEdit *text1 = child<QLineEdit>(window, "Text1");
        QVERIFY(text1);
        text1->clear();
        QTest::keyClicks(text1, name);
    }
    static QString text1(QWidget *window)
    {
        QLineEdit *text1 = child<QLineEdit>(window, "Text1");
        return text1 ? text1->text() : QStringLiteral("(no dialog)");
    }

    // The whole path of a user's save: File > Save, the name, "Save OK".
    void saveAs(const QString &name)
    {
        frmSave *d = save();
        QVERIFY(d);
        type(d, name);
        click(d, "scOk");
    }
};

// Each test runs in a working directory of its own, and keeps its recent files apart from
// the user's settings.
class FileTestBase : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    QString m_home = QDir::currentPath();

    QString path(const QString &name) const { return m_dir->filePath(name); }

protected slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir->path());
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(m_home);
        m_dir.reset();
        m_settingsDir.reset();
    }
};
