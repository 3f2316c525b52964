#include "AnalyserEmulator.h"

#include "platform/PseudoTerminal.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int kLineEndWaitMs = 50;
constexpr int kReadRetryMs = 50;
const char *const kReadings[] = {"real.txt", "real2.txt"};

void note(const QString &text)
{
    std::fprintf(stderr, "nrv508-emu: %s\n", qPrintable(text));
    std::fflush(stderr);
}

AnswerPacer::Settings pacing(const EmulatorOptions &options)
{
    AnswerPacer::Settings settings;
    settings.bytesPerSecond = options.fast ? 0 : std::max(1, options.baud / 10);
    settings.gapAfter = options.gapAfter;
    settings.gapMs = options.gapMs;
    settings.hangupAfter = options.hangupAfter;
    return settings;
}

} // namespace

AnalyserEmulator::AnalyserEmulator(const EmulatorOptions &options, PseudoTerminal *line,
                                   QObject *parent)
    : QObject(parent), m_options(options), m_line(line), m_pacer(line, pacing(options))
{
    m_lineEndWait.setSingleShot(true);
    m_lineEndWait.setInterval(kLineEndWaitMs);
    connect(&m_lineEndWait, &QTimer::timeout, this, [this] { takeRequests(true); });
    m_readRetry.setSingleShot(true);
    m_readRetry.setInterval(kReadRetryMs);
    connect(&m_readRetry, &QTimer::timeout, this, [this] {
        if (m_readable) m_readable->setEnabled(true);
    });
    m_nextReading.setSingleShot(true);
    m_nextReading.setInterval(m_options.intervalMs);
    connect(&m_nextReading, &QTimer::timeout, this, &AnalyserEmulator::sendNextReading);
    connect(&m_pacer, &AnswerPacer::answerFinished, this, [this] {
        if (m_live && m_pacer.isIdle()) m_nextReading.start();
    });
    connect(&m_pacer, &AnswerPacer::hungUp, this, &AnalyserEmulator::onHungUp);
    m_replug.setSingleShot(true);
    m_replug.setInterval(std::max(0, m_options.replugAfterMs));
    connect(&m_replug, &QTimer::timeout, this, &AnalyserEmulator::plugIn);
}

AnalyserEmulator::~AnalyserEmulator()
{
    const QByteArray rest = m_framer.takeRemainder();
    if (!rest.isEmpty()) log(rest);
}

bool AnalyserEmulator::start(QString *error)
{
    if (!m_options.logFile.isEmpty()) {
        m_log.setFileName(m_options.logFile);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            *error = QStringLiteral("%1: %2").arg(m_options.logFile, m_log.errorString());
            return false;
        }
    }
    if (!QDir(m_options.dataDir).exists())
        note(QStringLiteral("data directory %1 does not exist").arg(m_options.dataDir));
    watchLine();
    return true;
}

void AnalyserEmulator::watchLine()
{
    m_readable = new QSocketNotifier(m_line->masterDescriptor(), QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &AnalyserEmulator::readLine);
}

QString AnalyserEmulator::streamFileFor(const QByteArray &request)
{
    if (request == "QTS") return QStringLiteral("store.txt");
    if (request == "QTT") return QStringLiteral("tightness.txt");
    if (request.size() == 4 && request.startsWith("QTL") && request.at(3) >= '0' &&
        request.at(3) <= '3')
        return QStringLiteral("logger%1.txt").arg(QLatin1Char(request.at(3)));
    if (request.size() == 5 && request.startsWith("QTSL") && request.at(4) >= '0' &&
        request.at(4) <= '4')
        return QStringLiteral("single%1.txt").arg(QLatin1Char(request.at(4)));
    return QString();
}

QByteArray AnalyserEmulator::hexEscaped(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            out.append(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out.append(escaped, 4);
        }
    }
    return out;
}

void AnalyserEmulator::readLine()
{
    char chunk[4096];
    for (;;) {
        const qint64 count = m_line->read(chunk, sizeof chunk);
        if (count > 0) {
            m_peerOpen = true;
            m_framer.append(QByteArray(chunk, count));
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            m_peerOpen = true;
            break;
        }
        // EIO: the program has its port closed. A serial port that is closed loses what it had
        // not read yet. The line stays in this state until the port is opened again: look
        // again a little later rather than being woken up continuously.
        if (m_peerOpen) m_line->discardUnread();
        m_peerOpen = false;
        m_readable->setEnabled(false);
        m_readRetry.start();
        break;
    }
    takeRequests(false);
}

void AnalyserEmulator::takeRequests(bool lineEndIsComplete)
{
    QByteArray request;
    while (m_framer.takeRequest(&request, lineEndIsComplete))
        handle(request);
    if (m_framer.waitsForLineEnd())
        m_lineEndWait.start();
    else
        m_lineEndWait.stop();
}

void AnalyserEmulator::handle(const QByteArray &request)
{
    log(request);
    const QByteArray text = RequestFramer::text(request);
    if (text.isEmpty() || m_options.silent) return;

    if (m_options.garbage) {
        QRandomGenerator *random = QRandomGenerator::global();
        QByteArray noise(64 + random->bounded(448), '\0');
        for (char &byte : noise)
            byte = char(random->bounded(256));
        m_pacer.enqueue(noise);
        return;
    }
    if (text == "QTP") {
        stopLiveRun();
        return;
    }
    if (text == "QTRQ") {
        startLiveRun();
        return;
    }
    if (text.startsWith("QTH0") || text.startsWith("QTH1")) {
        m_pacer.enqueue(text.mid(4) + "\r\n");
        return;
    }
    const QString file = streamFileFor(text);
    if (file.isEmpty()) {
        note(QStringLiteral("unknown request \"%1\", not answered")
                 .arg(QString::fromLatin1(hexEscaped(text))));
        return;
    }
    // The instrument does one thing at a time: a download request ends a live run.
    stopLiveRun();
    answerFromFile(file);
}

QByteArray AnalyserEmulator::loadStream(const QString &fileName) const
{
    QFile file(QDir(m_options.dataDir).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        note(QStringLiteral("%1: %2, not answered").arg(file.fileName(), file.errorString()));
        return QByteArray();
    }
    return file.readAll();
}

void AnalyserEmulator::answerFromFile(const QString &fileName)
{
    const QByteArray stream = loadStream(fileName);
    if (!stream.isEmpty()) m_pacer.enqueue(stream);
}

void AnalyserEmulator::startLiveRun()
{
    if (m_live) return;
    m_live = true;
    m_readingIndex = 0;
    if (m_pacer.isIdle()) sendNextReading();
}

void AnalyserEmulator::stopLiveRun()
{
    m_live = false;
    m_nextReading.stop();
    m_pacer.dropWaiting();
}

void AnalyserEmulator::sendNextReading()
{
    if (!m_live) return;
    // Alternate between the readings; a missing one is passed over.
    for (int tries = 0; tries < 2; ++tries) {
        const QByteArray reading = loadStream(QString::fromLatin1(kReadings[m_readingIndex]));
        m_readingIndex = (m_readingIndex + 1) % 2;
        if (!reading.isEmpty()) {
            m_pacer.enqueue(reading);
            return;
        }
    }
    note(QStringLiteral("no reading to send, live run ended"));
    m_live = false;
}

void AnalyserEmulator::log(const QByteArray &request)
{
    if (!m_log.isOpen()) return;
    m_log.write(hexEscaped(request) + '\n');
    m_log.flush();
}

void AnalyserEmulator::onHungUp()
{
    note(QStringLiteral("line hung up after %1 answer bytes").arg(m_pacer.bytesSent()));
    m_live = false;
    m_nextReading.stop();
    m_lineEndWait.stop();
    m_readRetry.stop();
    delete m_readable;
    m_readable = nullptr;
    const QByteArray rest = m_framer.takeRemainder();
    if (!rest.isEmpty()) log(rest);
    emit unplugged();
    if (m_options.replugAfterMs >= 0) m_replug.start();
}

void AnalyserEmulator::plugIn()
{
    QString error;
    if (!m_line->open(m_options.baud, &error)) {
        note(QStringLiteral("cannot plug the line in again: %1; trying again").arg(error));
        m_replug.start();
        return;
    }
    // A cable plugged in again works: the pulled-cable fault is not repeated.
    m_pacer.plugIn();
    m_peerOpen = false;
    watchLine();
    note(QStringLiteral("line plugged in again on %1").arg(m_line->slavePath()));
    emit pluggedIn();
}
