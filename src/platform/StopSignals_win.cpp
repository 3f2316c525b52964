#include "platform/StopSignals.h"

#ifndef Q_OS_WIN
#error "StopSignals_win.cpp is for Windows; POSIX systems build StopSignals_posix.cpp"
#endif

#include <QMetaObject>
#include <csignal>
#include <windows.h>

namespace {
StopSignals *s_watcher = nullptr;

// Runs on a thread of its own: the request is queued into the watcher's event loop.
BOOL WINAPI handler(DWORD event)
{
    const int number = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    if (!s_watcher) return FALSE;
    QMetaObject::invokeMethod(
        s_watcher, [number] { emit s_watcher->stopRequested(number); }, Qt::QueuedConnection);
    return TRUE;
}
} // namespace

StopSignals::StopSignals(QObject *parent) : QObject(parent)
{
    s_watcher = this;
    SetConsoleCtrlHandler(handler, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(handler, FALSE);
    s_watcher = nullptr;
}

void StopSignals::deliver() {}

int StopSignals::brokenPipeSignal()
{
    return 13; // no such signal here; a closed pipe reports EPIPE, and tools agree on 141
}

void StopSignals::ignoreBrokenPipe() {}
