#pragma once

#include <QByteArray>

// Cuts the bytes the program sends into requests. The program ends its requests LF CR and its
// header commands CR LF; either pair, or a single CR or LF, ends a request. A request is handed
// over with its line end, exactly as received.
class RequestFramer {
public:
    void append(const QByteArray &bytes) { m_buffer.append(bytes); }

    // Takes the next request into `request`. When the bytes received so far end with a single
    // CR or LF, its partner may still be on its way: the request is kept back unless
    // `lineEndIsComplete` says no more bytes are coming for now.
    bool takeRequest(QByteArray *request, bool lineEndIsComplete = false);

    // True when a request is held back only because its line end may be half received.
    bool waitsForLineEnd() const;

    // Whatever is left without a line end; empties the framer.
    QByteArray takeRemainder();

    // The request's text without its line end.
    static QByteArray text(const QByteArray &request);

private:
    qsizetype lineEnd() const;
    QByteArray m_buffer;
};
