#pragma once

#include "link/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

class Pauses;
class ScreenModel;
class Transfer;

// What the header window shows: the two input boxes and their result boxes. Kept here rather
// than in the window so that an echo check that ends after the window has closed leaves its
// result for the next time the window is shown, and the command line sees the same texts.
struct HeaderTexts {
    QString Text1; // line 1 input
    QString Text2; // line 2 input
    QString Text3; // line 1 result: the echoed line or "Error !"
    QString Text4; // line 2 result
};

// Printout header programming: the Header button of the main window, the "OK" of each line of
// the header window, the echo check on Timer2 a second after a write, and the two ways out of
// the window ("End Write" and the close box).
class HeaderWriter : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimer2Ms = 1000;
    static constexpr int kLineWidth = 20;
    static const QString kErrorText; // "Error !"

    HeaderWriter(ScreenModel &model, SerialPort &port, const Pauses &pauses, Transfer &transfer,
                 QObject *parent = nullptr);

    // cmdHeader: quietens the instrument before the window opens. The window itself is the
    // caller's to show.
    void headerButton();
    // cmdPRAdd (line 1) and cmdPRPhone (line 2): writes the line in the input box. Returns
    // false when the box holds nothing that can be sent, in which case nothing goes out.
    bool writeLine(int line);
    // cmdWrite. A line confirmed with "OK" that still waits for an earlier check is never
    // dropped: the window stays (false is returned) until that line has been sent and checked,
    // and ended() then says it may close.
    bool endWrite();
    // The header window closed from its frame (or by Escape); waits for a line as endWrite().
    bool closeBox();
    // A way out was asked for while a line still waits to be sent or checked.
    bool ending() const { return m_endRequest != EndRequest::None; }

    const HeaderTexts &texts() const { return m_texts; }
    // The user edited an input box.
    void setInput(int line, const QString &text);

    // 1 to 20 printable ASCII characters: what the instrument's printer can hold.
    static bool isSendable(const QString &text);
    // The text behind the leading spaces that centre it on the 20-column printer line.
    static QString centred(const QString &text);
    // "QTH0" or "QTH1", the prepared line, CR, LF.
    static QByteArray commandBytes(int line, const QString &preparedLine);

    // The latest failure of the port while writing a line ("" after a clean write). The
    // window shows none (the result box says "Error !"); the command line names it.
    QString lastFailure() const { return m_failure; }
    // Lines whose "OK" came while another line's check was still due, in order.
    int queuedCount() const { return static_cast<int>(m_queue.size()); }

    void setTimer2Interval(int ms) { m_timer2.setInterval(ms); }
    bool timer2Active() const { return m_timer2.isActive(); }

signals:
    // The texts of the window changed.
    void changed();
    // The echo check of this line has put its result into the line's result box.
    void echoChecked(int line);
    // The way out asked for while a line waited has been taken now that it is checked.
    void ended();

private:
    enum class EndRequest { None, EndWrite, CloseBox };

    bool requestEnd(EndRequest request);
    void finishEnd(EndRequest request);
    void write(int line, const QString &text);
    void onTimer2();
    void onCommEvent(CommEvent kind);
    void forgetWindowTexts();
    void emptyStreamText();
    QString &resultBox(int line);
    QString &storedLine(int line);

    ScreenModel &m_model;
    SerialPort &m_port;
    const Pauses &m_pauses;
    Transfer &m_transfer;
    QTimer m_timer2;
    HeaderTexts m_texts;
    QByteArray m_echo;        // what arrived since the latest write
    qsizetype m_mark = 0;     // how much of ReceiveBuffer had been looked at
    bool m_listening = false; // from a write to its check
    QList<QPair<int, QString>> m_queue;
    QString m_failure;
    EndRequest m_endRequest = EndRequest::None;
};
