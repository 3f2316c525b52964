#pragma once

#include "protocol/Placement.h"

#include <QByteArray>

class ScreenModel;
class MessageSink;

// FinishReception: runs once the link has been quiet for a full receive-timer tick. The line
// assembler finds the last complete stream in what arrived, the parser of the current mode
// cuts it into key/value pairs, and each pair is placed.
class ReceptionPass {
public:
    ReceptionPass(ScreenModel &model, MessageSink &messages);

    // Returns whether a complete stream was parsed.
    bool run();

    // ShowBrowseRow, for the scroll bar.
    void showBrowseRow() { m_place.showBrowseRow(); }
    // The complete stream the last pass parsed, "" when it found none. The panels keep the date
    // and time of an earlier reading when a reading lacks them: only the stream tells.
    const QByteArray &lastCompleteStream() const { return m_lastComplete; }

    // The line assembler alone (SplitReceived).
    void splitReceived();

private:
    void limitStreamText();
    void parseRealStream();
    void parseRecordStream();
    void handleRecordLine(QByteArrayView line);
    void placeSingleLoggerLine(QByteArrayView line);
    bool splitKeyValue(QByteArrayView line);
    void takeVersionKeys();
    void showVersion();
    void closeProgressWindow();
    void lossCheck();

    ScreenModel &m_model;
    MessageSink &m_messages;
    Placement m_place;
    QByteArray m_lastComplete;
};
