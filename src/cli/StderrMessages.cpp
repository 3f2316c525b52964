#include "cli/StderrMessages.h"

#include "app/PrintableText.h"
#include "cli/CliCommand.h"

MessageAnswer StderrMessages::show(const QString &title, const QString &text, MessageIcon,
                                   MessageButtons)
{
    ++m_count;
    // One line each, whatever a text took over from a file or the line.
    writeStderr(printableText(title + QStringLiteral(": ") + text));
    return MessageAnswer::Ok;
}
