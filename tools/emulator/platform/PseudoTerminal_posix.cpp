#include "platform/PseudoTerminal.h"

#if !defined(__unix__) && !defined(__APPLE__)
#error "The analyser emulator needs POSIX pseudo-terminals; see tools/emulator/CMakeLists.txt"
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t speedFor(int baud)
{
    switch (baud) {
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    default:
        return B9600;
    }
}

QString systemError(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    hangUp();
}

bool PseudoTerminal::open(int baud, QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        *error = systemError(QStringLiteral("posix_openpt"));
        return false;
    }
    char name[128] = {};
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        *error = systemError(QStringLiteral("preparing the pseudo-terminal"));
        hangUp();
        return false;
    }
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);

    // The settings stay with the line while the master is open, across the program's opens.
    const int slave = openSlave();
    termios settings{};
    const bool ok = slave >= 0 && tcgetattr(slave, &settings) == 0;
    if (ok) {
        cfmakeraw(&settings);
        cfsetispeed(&settings, speedFor(baud));
        cfsetospeed(&settings, speedFor(baud));
    }
    if (!ok || tcsetattr(slave, TCSANOW, &settings) != 0) {
        *error = systemError(m_slavePath);
        if (slave >= 0) ::close(slave);
        hangUp();
        return false;
    }
    ::close(slave);
    return true;
}

int PseudoTerminal::openSlave() const
{
    return ::open(m_slavePath.toLocal8Bit().constData(),
                  O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

qint64 PseudoTerminal::read(char *data, qint64 size)
{
    if (m_master < 0) {
        errno = EBADF;
        return -1;
    }
    return ::read(m_master, data, size_t(size));
}

qint64 PseudoTerminal::write(const char *data, qint64 size)
{
    if (m_master < 0) {
        errno = EBADF;
        return -1;
    }
    return ::write(m_master, data, size_t(size));
}

bool PseudoTerminal::peerIsOpen() const
{
    if (m_master < 0) return false;
    pollfd watched{m_master, POLLOUT, 0};
    return ::poll(&watched, 1, 0) >= 0 && !(watched.revents & POLLHUP);
}

int PseudoTerminal::unreadByPeer() const
{
    if (m_master < 0) return -1;
    const int slave = openSlave();
    int count = -1;
    if (slave >= 0) {
        if (ioctl(slave, FIONREAD, &count) != 0) count = -1;
        ::close(slave);
    }
    return count;
}

void PseudoTerminal::discardUnread()
{
    if (m_master < 0) return;
    const int slave = openSlave();
    if (slave < 0) return;
    tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void PseudoTerminal::hangUp()
{
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}
