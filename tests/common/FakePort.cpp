#include "common/FakePort.h"

FakePort::FakePort(QObject *parent) : SerialPort(parent) {}

bool FakePort::open(QString *error)
{
    if (!m_openError.isEmpty()) {
        m_log << QStringLiteral("open failed");
        if (error) *error = m_openError;
        return false;
    }
    m_log << QStringLiteral("open");
    m_open = true;
    ++m_openCount;
    return true;
}

void FakePort::close()
{
    if (!m_open) return;
    m_log << QStringLiteral("close");
    m_open = false;
    m_waiting.clear();
}

bool FakePort::send(const QByteArray &bytes)
{
    if (!m_open || m_sendFails) {
        m_log << QStringLiteral("send failed ") + spell(bytes);
        return false;
    }
    m_log << QStringLiteral("send ") + spell(bytes);
    m_sent += bytes;
    if (m_responder) m_responder(bytes);
    return true;
}

QByteArray FakePort::takeWaiting()
{
    QByteArray bytes;
    bytes.swap(m_waiting);
    return bytes;
}

std::function<void(int)> FakePort::pauseFunction()
{
    return [this](int ms) { logPause(ms); };
}

void FakePort::logPause(int ms)
{
    static const QString prefix = QStringLiteral("wait ");
    if (!m_log.isEmpty() && m_log.last().startsWith(prefix)) {
        const int total = m_log.last().mid(prefix.size()).toInt() + ms;
        m_log.last() = prefix + QString::number(total);
        return;
    }
    m_log << prefix + QString::number(ms);
}

void FakePort::receive(const QByteArray &bytes)
{
    m_waiting += bytes;
    emit commEvent(CommEvent::Received);
}

void FakePort::vanish()
{
    if (!m_open) return;
    m_log << QStringLiteral("vanish");
    m_open = false;
    m_waiting.clear();
    emit commEvent(CommEvent::Break);
}

QStringList FakePort::logWithoutWaits() const
{
    QStringList out;
    for (const QString &entry : m_log) {
        if (!entry.startsWith(QLatin1String("wait "))) out << entry;
    }
    return out;
}

QString FakePort::spell(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}
