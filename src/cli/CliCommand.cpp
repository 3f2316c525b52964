#include "cli/CliCommand.h"

#include "files/SafeWrite.h"
#include <cstdio>

namespace {
QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}
} // namespace

CliCommand::Registration::Registration(CliCommand command)
{
    registry().append(std::move(command));
}

const QList<CliCommand> &CliCommand::all()
{
    return registry();
}

void writeStdout(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void writeStderr(const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

QString helpText(const CliCommand &command)
{
    QString text = QStringLiteral("usage: ") + command.usage + QLatin1Char('\n');
    if (!command.help.isEmpty()) text += QLatin1Char('\n') + command.help;
    if (!text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
    return text;
}

int usageError(const CliCommand &command, const QString &problem)
{
    if (!problem.isEmpty())
        writeStderr(QStringLiteral("nrv508-cli %1: %2").arg(command.name, problem));
    writeStderr(QStringLiteral("usage: ") + command.usage);
    return ExitUsage;
}

bool writeOutput(const QString &outPath, const QByteArray &bytes)
{
    if (outPath.isEmpty()) {
        writeStdout(bytes);
        return true;
    }
    QString error;
    if (!writeWholeFile(outPath, bytes, &error)) {
        writeStderr(error);
        return false;
    }
    return true;
}
