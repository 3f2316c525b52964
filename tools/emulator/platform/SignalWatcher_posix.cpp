#include "platform/SignalWatcher.h"

#include <QSocketNotifier>

#if !defined(Q_OS_UNIX)
#error                                                                                             \
    "SignalWatcher_posix.cpp needs POSIX signals and socketpair(); see tools/emulator/CMakeLists.txt"
#endif

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

int SignalWatcher::s_pipe[2] = {-1, -1};

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent)
{
    if (s_pipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pipe) != 0) return;
    fcntl(s_pipe[1], F_SETFL, fcntl(s_pipe[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher()
{
    delete m_notifier;
    for (int &fd : s_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

bool SignalWatcher::watchTermination()
{
    std::signal(SIGPIPE, SIG_IGN);
    return watch(SIGINT) && watch(SIGTERM);
}

bool SignalWatcher::watch(int signalNumber)
{
    if (!m_notifier) return false;
    struct sigaction action {};
    action.sa_handler = &SignalWatcher::handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signalNumber, &action, nullptr) == 0;
}

void SignalWatcher::handler(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t ignored = ::write(s_pipe[1], &byte, 1);
}

void SignalWatcher::readSignal()
{
    unsigned char byte = 0;
    if (::read(s_pipe[0], &byte, 1) == 1) emit terminationRequested(byte);
}
