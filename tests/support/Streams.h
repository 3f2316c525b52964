#pragma once

#include "app/MessageSink.h"
#include "app/Program.h"
#include "link/DevicePort.h"
#include "link/ReceiveEvent.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// A reading stream as the instrument sends it: every line ends LF CR, and the last line
// closes the stream.
inline QByteArray stream(const QStringList &lines, const char *ending = "\n\r")
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toLatin1() + ending;
    out += QByteArray("</BTInstReading>") + ending;
    return out;
}

// What the model shows for each "name=caption" entry, in the same form, so a test compares the
// list with the entries themselves.
inline QStringList captionsOf(const ScreenModel &m, const QStringList &entries)
{
    QStringList out;
    for (const QString &entry : entries) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const Element *e = m.element(name);
        out << name + QLatin1Char('=') + (e ? e->caption : QStringLiteral("<none>"));
    }
    return out;
}

// The same for a table's cells: "row,column=text".
inline QStringList cellsOf(const Grid &grid, const QStringList &entries)
{
    QStringList out;
    for (const QString &entry : entries) {
        const QString at = entry.section(QLatin1Char('='), 0, 0);
        out << at + QLatin1Char('=') +
                   grid.text(at.section(QLatin1Char(','), 0, 0).toInt(),
                             at.section(QLatin1Char(','), 1).toInt());
    }
    return out;
}

// Message boxes raised during a test, as "TITLE: TEXT".
class CollectedMessages : public MessageSink {
public:
    QStringList shown;
    MessageAnswer show(const QString &title, const QString &text, MessageIcon,
                       MessageButtons) override
    {
        shown << title + QStringLiteral(": ") + text;
        return MessageAnswer::Ok;
    }
};

// The core after start-up, with a port that is never opened.
struct Core {
    DevicePort port;
    CollectedMessages messages;
    Program program{port, messages};
    ScreenModel &m = program.model;

    explicit Core(int mode = 0)
    {
        program.startUp();
        program.modes.switchTo(mode);
    }

    // One burst followed by the quiet gap that ends an answer.
    // Returns whether the pass parsed a complete stream.
    bool pass(const QByteArray &bytes)
    {
        takeReceived(m, bytes);
        return program.reception.run();
    }
};
