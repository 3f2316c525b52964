#include "platform/StopSignals.h"

#ifdef Q_OS_WIN
#error "StopSignals_posix.cpp is for POSIX systems; Windows builds StopSignals_win.cpp"
#endif

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write to a descriptor: the event loop reads the number back.
int s_pair[2] = {-1, -1};
QSocketNotifier *s_notifier = nullptr;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void handler(int signalNumber)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(s_pair[0], &number, 1);
    errno = saved;
}
} // namespace

StopSignals::StopSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pair) != 0) return;
    for (int fd : s_pair)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(s_pair[0], F_SETFL, O_NONBLOCK);
    s_notifier = new QSocketNotifier(s_pair[1], QSocketNotifier::Read, this);
    connect(s_notifier, &QSocketNotifier::activated, this, &StopSignals::deliver);
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

StopSignals::~StopSignals()
{
    for (int signalNumber : kSignals)
        std::signal(signalNumber, SIG_DFL);
    delete s_notifier;
    s_notifier = nullptr;
    for (int &fd : s_pair) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void StopSignals::deliver()
{
    unsigned char number = 0;
    if (::read(s_pair[1], &number, 1) == 1) emit stopRequested(number);
}

int StopSignals::brokenPipeSignal()
{
    return SIGPIPE;
}

void StopSignals::ignoreBrokenPipe()
{
    std::signal(SIGPIPE, SIG_IGN);
}
