#include "protocol/ReceptionPass.h"

#include <utility>

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "tables/Modes.h"

#include <cstring>

namespace {
const QByteArray kClosingSplitLine = QByteArrayLiteral("\r</BTInstReading>");
const QByteArray kClosingParseLine = QByteArrayLiteral("</BTInstReading>\n");

// A stream that never closes keeps growing StreamText; past this size what has been
// assembled cannot be a reading any more and is let go, so noise cannot exhaust memory.
constexpr qsizetype kMaxStreamText = 64 * 1024 * 1024;

// Calls f(line) for each CR-terminated line of text, in order, until f returns false.
// Text after the last CR belongs to no line.
template <typename F> void forEachLine(const QByteArray &text, F f)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype cr = text.indexOf('\r', pos);
        if (cr < 0) return;
        if (!f(QByteArrayView(text).sliced(pos, cr - pos))) return;
        pos = cr + 1;
    }
}
} // namespace

ReceptionPass::ReceptionPass(ScreenModel &model, MessageSink &messages)
    : m_model(model), m_messages(messages), m_place(model)
{
}

bool ReceptionPass::run()
{
    splitReceived();
    const bool complete = !m_model.tokens.CompleteStream.isEmpty();
    if (m_model.CurrentMode == Real)
        parseRealStream();
    else
        parseRecordStream();
    m_model.ReceiveBuffer.clear();
    m_lastComplete = std::exchange(m_model.tokens.CompleteStream, QByteArray());
    // The progress window closes and the new table shows before any box of the pass, so the
    // box never stands over a stale, disabled window.
    m_model.notify();
    if (m_model.CurrentMode != Real) lossCheck();
    return complete;
}

// The instrument ends every line LF CR, so the closing line of a stream is seen here as CR
// followed by "</BTInstReading>", and the CR after its LF starts the next stream's text.
// The whole burst joins StreamText at once and only its line ends are looked at. The first
// line of the burst continues SplitLine; every later line lies wholly inside the burst.
void ReceptionPass::splitReceived()
{
    TokenizerState &t = m_model.tokens;
    const QByteArray &buffer = m_model.ReceiveBuffer;
    m_model.ReceivedCount = static_cast<qint32>(buffer.size());
    const qsizetype firstLf = buffer.indexOf('\n');
    if (firstLf < 0) {
        t.StreamText.append(buffer);
        t.SplitLine.append(buffer);
        limitStreamText();
        return;
    }
    const bool firstCloses =
        t.SplitLine.size() + firstLf == kClosingSplitLine.size() &&
        kClosingSplitLine.startsWith(t.SplitLine) &&
        kClosingSplitLine.endsWith(QByteArrayView(buffer.constData(), firstLf));

    const qsizetype base = t.StreamText.size();
    t.StreamText.append(buffer);
    const char *text = t.StreamText.constData();
    const qsizetype size = t.StreamText.size();
    qsizetype previousEnd = -1; // end of the stream before the last one found in this pass
    qsizetype lastEnd = firstCloses ? base + firstLf : -1; // LF ending the last complete stream
    qsizetype lineStart = base + firstLf + 1;
    while (lineStart < size) {
        const char *lf =
            static_cast<const char *>(std::memchr(text + lineStart, '\n', size - lineStart));
        if (!lf) break;
        const qsizetype at = lf - text;
        if (QByteArrayView(text + lineStart, at - lineStart) == kClosingSplitLine) {
            previousEnd = lastEnd;
            lastEnd = at;
        }
        lineStart = at + 1;
    }
    if (lastEnd >= 0) {
        // The stream before the first one that ends in this pass began in earlier passes.
        t.CompleteStream = t.StreamText.mid(previousEnd + 1, lastEnd - previousEnd) + '\r';
        t.StreamText.remove(0, lastEnd + 1);
        lineStart -= lastEnd + 1;
    }
    t.SplitLine = t.StreamText.mid(lineStart);
    limitStreamText();
}

void ReceptionPass::limitStreamText()
{
    TokenizerState &t = m_model.tokens;
    if (t.StreamText.size() <= kMaxStreamText && t.SplitLine.size() <= kMaxStreamText) return;
    t.StreamText.clear();
    t.SplitLine.clear();
}

// Key: the text before the first double quote. Value: the text up to the next one; a line
// with only an opening quote keeps the previous value.
bool ReceptionPass::splitKeyValue(QByteArrayView line)
{
    const qsizetype q1 = line.indexOf('"');
    if (q1 < 0) return false;
    TokenizerState &t = m_model.tokens;
    t.CurrentKey = QString::fromLatin1(line.constData(), q1);
    const qsizetype q2 = line.indexOf('"', q1 + 1);
    if (q2 >= 0) t.CurrentValue = QString::fromLatin1(line.constData() + q1 + 1, q2 - q1 - 1);
    return true;
}

void ReceptionPass::takeVersionKeys()
{
    TokenizerState &t = m_model.tokens;
    if (t.CurrentKey == QLatin1String("major_version="))
        t.MajorVersion = t.CurrentValue;
    else if (t.CurrentKey == QLatin1String("minor_version="))
        t.MinorVersion = t.CurrentValue;
}

void ReceptionPass::showVersion()
{
    const TokenizerState &t = m_model.tokens;
    m_model.txtVersion.caption = t.MajorVersion + QLatin1Char('.') + t.MinorVersion;
}

// Real Mode applies the current pair continually, so the pair of the previous pass is applied
// once before the first line, and the last pair once more after a reading is shown.
void ReceptionPass::parseRealStream()
{
    m_place.placeReal();
    forEachLine(m_model.tokens.CompleteStream, [this](QByteArrayView line) {
        if (line == kClosingParseLine) {
            m_place.showRealReading();
            m_place.placeReal();
            return false;
        }
        if (splitKeyValue(line)) {
            m_place.placeReal();
            takeVersionKeys();
        }
        return true;
    });
    showVersion();
}

void ReceptionPass::parseRecordStream()
{
    m_place.beginStream();
    forEachLine(m_model.tokens.CompleteStream, [this](QByteArrayView line) {
        if (line == kClosingParseLine) {
            const Family family = familyOf(m_model.CurrentMode);
            if (family == Family::Store || family == Family::Logger) {
                m_model.CurrentRow = 0;
                m_place.showBrowseRow();
            }
            return false;
        }
        handleRecordLine(line);
        return true;
    });
    showVersion();
    closeProgressWindow();
}

void ReceptionPass::handleRecordLine(QByteArrayView line)
{
    // A record's first line carries its first attribute after "<inst_data ".
    if (line.startsWith("<inst_data")) {
        const qsizetype space = line.indexOf(' ');
        if (space >= 0) line = line.sliced(space + 1);
    }
    if (line.startsWith(' ')) {
        placeSingleLoggerLine(line);
        return;
    }
    if (!splitKeyValue(line)) return;
    switch (familyOf(m_model.CurrentMode)) {
    case Family::Store:
    case Family::Logger:
        m_place.placeRecordField();
        break;
    case Family::SingleLogger:
        m_place.placeSingleLoggerField();
        break;
    case Family::Tightness:
        m_place.placeTightnessField();
        break;
    default:
        break;
    }
    takeVersionKeys();
}

// " 12 ... "118/131"": a space, a two-character index, then a quoted value of two parts.
void ReceptionPass::placeSingleLoggerLine(QByteArrayView line)
{
    const QByteArrayView rest = line.sliced(1);
    const qsizetype q1 = rest.indexOf('"');
    const qsizetype q2 = q1 < 0 ? -1 : rest.indexOf('"', q1 + 1);
    if (q2 < 0) return; // no complete quoted value: nothing to place
    TokenizerState &t = m_model.tokens;
    t.SLIndexText = QString::fromLatin1(rest.first(qMin<qsizetype>(2, rest.size())));
    const QString value = QString::fromLatin1(rest.sliced(q1 + 1, q2 - q1 - 1));
    const qsizetype slash = value.indexOf(QLatin1Char('/'));
    t.SLValue1 = slash < 0 ? value : value.left(slash);
    t.SLValue2 = slash < 0 ? QString() : value.mid(slash + 1);
    m_place.placeSingleLoggerRecord();
}

void ReceptionPass::closeProgressWindow()
{
    if (!m_model.frmSplash.visible) return;
    m_model.frmSplash.visible = false;
    m_model.frmMain.enabled = true;
}

// A logger page whose first record is missing while later ones arrived lost data on the way.
void ReceptionPass::lossCheck()
{
    if (!isLogger(m_model.CurrentMode)) return;
    const Grid &table = m_model.MSFlexGrid1;
    if (!table.text(1, 0).isEmpty()) return;
    for (int row = 1; row <= 98; ++row) {
        if (!table.text(row, 0).isEmpty()) {
            m_messages.show(QStringLiteral("Receiving Error"),
                            QStringLiteral("Some data are lost while receiving the data. "
                                           "Please restart."),
                            MessageIcon::Information);
            return;
        }
    }
}
