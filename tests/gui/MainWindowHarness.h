#pragma once

#include "TestFiles.h"
#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "link/ReceiveEvent.h"
#include "link/frmComm.h"
#include "tables/frmMain.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

// The caption as the user reads it: the access-key marker is no character of its own.
inline QString shownText(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

// The real main window over a scripted port, started as the program starts it, in a working
// directory of its own (the settings file lives there) and with the recent files of the File
// menu kept apart from the user's own settings.
struct MainWindowHarness {
    QTemporaryDir dir;
    QTemporaryDir userSettings;
    QString previousDir = QDir::currentPath();
    FakePort port;
    RecordingMessages messages;
    std::unique_ptr<Program> program;
    std::unique_ptr<frmMain> window;

    MainWindowHarness()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
        QDir::setCurrent(dir.path());
        start();
    }
    ~MainWindowHarness()
    {
        window.reset();
        QDir::setCurrent(previousDir);
    }

    // Start-up, as at every launch: the settings file of the working directory is read.
    void start()
    {
        window.reset();
        program = std::make_unique<Program>(port, messages);
        program->pauses.setWait(port.pauseFunction());
        // The quiet gap that ends an answer, shortened: these tests are about the windows.
        program->transfer.setTimer3Interval(20);
        program->startUp();
        window = std::make_unique<frmMain>(*program);
        window->show();
    }

    ScreenModel &model() { return program->model; }
    template <typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QAction *action(const QString &name) const { return find<QAction>(name); }
    bool shows(const QString &name) const { return find(name) && find(name)->isVisible(); }
    // A label's or button's text, a frame's caption.
    QString text(const QString &name) const
    {
        if (auto *frame = find<QGroupBox>(name)) return shownText(frame->title());
        return find(name) ? find(name)->property("text").toString() : QStringLiteral("<none>");
    }
    // Each entry against the window: "name=caption" shown with that caption, "name" shown,
    // "!name" hidden.
    void expect(const QStringList &entries) const
    {
        for (const QString &entry : entries) {
            const QString name = entry.section(QLatin1Char('='), 0, 0).remove(QLatin1Char('!'));
            QVERIFY2(shows(name) != entry.startsWith(QLatin1Char('!')), qPrintable(entry));
            if (entry.contains(QLatin1Char('=')))
                QCOMPARE(name + QLatin1Char('=') + text(name), entry);
        }
    }
};

// Runs `answer` on the next modal window of type T once it is up (message boxes, file and
// printer dialogs, the communication window all run their own event loop).
template <typename T> void onNextModal(std::function<void(T *)> answer, bool *seen = nullptr)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, seen, tries] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        // Give up after a while so a window that never comes leaves no timer behind.
        if (!modal && ++*tries <= 500) return;
        timer->stop();
        timer->deleteLater();
        if (!modal) return;
        if (seen) *seen = true;
        answer(modal);
    });
    timer->start(10);
}

// Opens "Communication Setup" through the main window's menu; `inside` runs while the
// Communication window is up and closes it.
inline void runSetup(MainWindowHarness &h, const std::function<void(frmComm *)> &inside)
{
    bool seen = false;
    onNextModal<frmComm>(inside, &seen);
    h.action(QStringLiteral("mnuSet"))->trigger();
    QVERIFY2(seen, "the Communication window did not open");
    QVERIFY(!QApplication::activeModalWidget());
}
