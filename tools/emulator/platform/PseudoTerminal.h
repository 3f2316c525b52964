#pragma once

#include <QString>

// The instrument's end of the serial line: the master side of a pseudo-terminal whose slave
// device the program opens as its serial port. POSIX only (PseudoTerminal_posix.cpp): Windows
// has no pseudo-terminal that opens as a COM port, so the emulator is not built there.
//
// The line behaves like a real cable: bytes sent while the program has its port closed reach
// nobody, and bytes the program left unread when it closed its port are gone when it opens the
// port again. The master tells whether the slave is open (no hang-up condition while it is).
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Creates the pair and sets the line raw (no echo, no line editing); the master is
    // non-blocking.
    bool open(int baud, QString *error);

    bool isOpen() const { return m_master >= 0; }
    int masterDescriptor() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Both return the byte count, or -1 with errno set (EAGAIN when nothing can move now; EIO
    // on reading while the program has its port closed).
    qint64 read(char *data, qint64 size);
    qint64 write(const char *data, qint64 size);

    // Whether the program has its end of the line open.
    bool peerIsOpen() const;
    // Bytes sent that the program has not read yet; -1 if unknown.
    int unreadByPeer() const;
    // Drops what the program has not read.
    void discardUnread();

    // Closes the master: the program's port sees the line vanish.
    void hangUp();

private:
    int openSlave() const;

    int m_master = -1;
    QString m_slavePath;
};
