#include "RequestFramer.h"

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

} // namespace

qsizetype RequestFramer::lineEnd() const
{
    for (qsizetype i = 0; i < m_buffer.size(); ++i) {
        if (isLineEnd(m_buffer.at(i))) return i;
    }
    return -1;
}

bool RequestFramer::waitsForLineEnd() const
{
    const qsizetype end = lineEnd();
    return end >= 0 && end + 1 == m_buffer.size();
}

bool RequestFramer::takeRequest(QByteArray *request, bool lineEndIsComplete)
{
    const qsizetype end = lineEnd();
    if (end < 0) return false;
    qsizetype length = end + 1;
    if (end + 1 < m_buffer.size()) {
        const char next = m_buffer.at(end + 1);
        if (isLineEnd(next) && next != m_buffer.at(end)) ++length;
    } else if (!lineEndIsComplete) {
        return false;
    }
    *request = m_buffer.left(length);
    m_buffer.remove(0, length);
    return true;
}

QByteArray RequestFramer::takeRemainder()
{
    QByteArray rest;
    rest.swap(m_buffer);
    return rest;
}

QByteArray RequestFramer::text(const QByteArray &request)
{
    qsizetype length = request.size();
    while (length > 0 && isLineEnd(request.at(length - 1)))
        --length;
    return request.left(length);
}
