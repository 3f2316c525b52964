#pragma once

#include "AnswerPacer.h"
#include "EmulatorOptions.h"
#include "RequestFramer.h"

#include <QFile>
#include <QObject>
#include <QTimer>

class PseudoTerminal;
class QSocketNotifier;

// The instrument's side of the conversation: reads the program's requests from the line and
// answers each one as the analyser does, from the stream files of the data directory.
class AnalyserEmulator : public QObject {
    Q_OBJECT
public:
    AnalyserEmulator(const EmulatorOptions &options, PseudoTerminal *line,
                     QObject *parent = nullptr);
    ~AnalyserEmulator() override;

    bool start(QString *error);

    // The stream file that answers a request, or an empty text for requests answered otherwise.
    static QString streamFileFor(const QByteArray &request);
    // Printable ASCII stays as it is; every other byte, and the backslash, becomes \xHH.
    static QByteArray hexEscaped(const QByteArray &bytes);

signals:
    // The line was hung up (a pulled cable).
    void unplugged();
    // A new line is open after a hang-up (the cable plugged in again).
    void pluggedIn();

private:
    void readLine();
    void takeRequests(bool lineEndIsComplete);
    void handle(const QByteArray &request);
    void answerFromFile(const QString &fileName);
    QByteArray loadStream(const QString &fileName) const;
    void startLiveRun();
    void stopLiveRun();
    void sendNextReading();
    void log(const QByteArray &request);
    void onHungUp();
    void plugIn();
    void watchLine();

    EmulatorOptions m_options;
    PseudoTerminal *m_line;
    AnswerPacer m_pacer;
    RequestFramer m_framer;
    QSocketNotifier *m_readable = nullptr;
    QTimer m_lineEndWait;    // gives the second byte of a line end a moment to arrive
    QTimer m_readRetry;      // re-arms reading after a failed read, without spinning
    QTimer m_nextReading;    // the quiet interval between two live readings
    QTimer m_replug;         // from a hang-up to the new line
    bool m_peerOpen = false; // the program had its port open at the last look
    bool m_live = false;
    int m_readingIndex = 0;
    QFile m_log;
};
