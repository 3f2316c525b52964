#pragma once

#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "link/ReceiveEvent.h"
#include "tables/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

// The real main window over a scripted port, started as the program starts it.
struct MainWindowHarness {
    FakePort port;
    RecordingMessages messages;
    std::unique_ptr<Program> program;
    std::unique_ptr<frmMain> window;

    MainWindowHarness() { start(); }

    // Start-up, as at every launch: the settings file of the working directory is read.
    void start()
    {
        window.reset();
        program = std::make_unique<Program>(port, messages);
        program->pauses.setWait(port.pauseFunction());
        program->startUp();
        window = std::make_unique<frmMain>(*program);
        window->show();
    }

    ScreenModel &model() { return program->model; }

    template <typename T = QWidget> T *find(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QAction *action(const char *name) const { return find<QAction>(name); }
    QString text(const char *name) const
    {
        if (auto *label = find<QLabel>(name)) return label->text();
        if (auto *button = find<QPushButton>(name)) return button->text();
        return QStringLiteral("<no %1>").arg(QLatin1String(name));
    }
    bool shows(const char *name) const
    {
        QWidget *w = find(name);
        return w && w->isVisible();
    }

    // A captured answer arrives in one burst and the quiet gap ends it.
    bool download(int mode, const QString &streamFile)
    {
        program->modes.switchTo(mode);
        QFile file(QStringLiteral(NRV508_TEST_DATA "/streams/") + streamFile);
        if (!file.open(QIODevice::ReadOnly)) return false;
        takeReceived(program->model, file.readAll());
        program->reception.run();
        program->model.notify();
        return true;
    }
};

// Runs `answer` on the next modal window of type T once it is up (message boxes, file and
// printer dialogs, the communication window all run their own event loop).
template <typename T> void onNextModal(std::function<void(T *)> answer, bool *seen = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, seen, tries] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal) {
            // Give up after a while so a window that never comes leaves no timer behind.
            if (++*tries > 500) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (seen) *seen = true;
        answer(modal);
    });
    timer->start();
}

// The caption as the user reads it: the access-key marker is no character of its own.
inline QString shownText(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}
