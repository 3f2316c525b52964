#include "link/AnswerProgress.h"

namespace {
// Enough of a line to tell a record's first line from the others.
constexpr int kLineStartKept = 16;
const QByteArray kRecordStart = QByteArrayLiteral("<inst_data");
} // namespace

void AnswerProgress::begin()
{
    m_bytes = 0;
    m_records = 0;
    m_lineStart.clear();
    m_clock.start();
    emit changed();
}

void AnswerProgress::finish()
{
    m_clock.invalidate();
}

void AnswerProgress::add(const QByteArray &bytes)
{
    if (bytes.isEmpty()) return;
    if (!m_clock.isValid()) {
        begin();
    }
    m_bytes += bytes.size();
    for (const char c : bytes) {
        if (c == '\n') {
            countLine();
            m_lineStart.clear();
        } else if (m_lineStart.size() < kLineStartKept) {
            m_lineStart += c;
        }
    }
    emit changed();
}

// A record begins with an "<inst_data" line; a single logger record is one line that begins
// with its number. Header and attribute lines begin with a letter.
void AnswerProgress::countLine()
{
    const QByteArray line = m_lineStart.trimmed();
    if (line.startsWith(kRecordStart) ||
        (!line.isEmpty() && line.at(0) >= '0' && line.at(0) <= '9'))
        ++m_records;
}

qint64 AnswerProgress::elapsedMs() const
{
    return m_clock.isValid() ? m_clock.elapsed() : 0;
}

QString AnswerProgress::text() const
{
    const qint64 seconds = elapsedMs() / 1000;
    return QStringLiteral("%1 bytes, %2 %3, %4:%5")
        .arg(m_bytes)
        .arg(m_records)
        .arg(m_records == 1 ? QStringLiteral("record") : QStringLiteral("records"))
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
