#include "cli/StderrMessages.h"

#include "cli/CliCommand.h"

MessageAnswer StderrMessages::show(const QString &title, const QString &text, MessageIcon,
                                   MessageButtons)
{
    ++m_count;
    writeStderr(title + QStringLiteral(": ") + text);
    return MessageAnswer::Ok;
}
