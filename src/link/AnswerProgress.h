#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

// How far the answer to a request has come: the bytes and records received so far and the
// time since the request went out (or, for an answer nobody asked for, such as a header echo,
// since its first byte). Shown in the progress window while a download arrives.
class AnswerProgress : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A request went out: counting starts from nothing and the clock runs.
    void begin();
    // Bytes of the answer arrived.
    void add(const QByteArray &bytes);
    // The answer is complete: whatever arrives next is a new answer.
    void finish();

    qint64 bytes() const { return m_bytes; }
    int records() const { return m_records; }
    qint64 elapsedMs() const;

    // "11376 bytes, 37 records, 0:04".
    QString text() const;

signals:
    void changed();

private:
    void countLine();

    qint64 m_bytes = 0;
    int m_records = 0;
    QByteArray m_lineStart; // the first characters of the line still arriving
    QElapsedTimer m_clock;
};
