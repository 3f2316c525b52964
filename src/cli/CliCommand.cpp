#include "cli/CliCommand.h"

#include "files/SafeWrite.h"
#include "platform/StopSignals.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

namespace {
int s_stdoutError = 0; // the errno of the first failed write to stdout

void noteStdoutError()
{
    if (s_stdoutError == 0) s_stdoutError = errno != 0 ? errno : EIO;
}
} // namespace

bool writeStdout(const QByteArray &bytes)
{
    if (s_stdoutError != 0) return false;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        noteStdoutError();
    return s_stdoutError == 0;
}

bool stdoutFailed()
{
    return s_stdoutError != 0;
}

bool stdoutClosedByReader()
{
    return s_stdoutError == EPIPE;
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
    if (outPath.isEmpty() || outPath == QLatin1String("-")) return writeStdout(bytes);
    QString error;
    if (!writeWholeFile(outPath, bytes, &error)) {
        writeStderr(error);
        return false;
    }
    return true;
}

int finish(int status)
{
    errno = 0;
    if (s_stdoutError == 0 && std::fflush(stdout) != 0) noteStdoutError();
    if (s_stdoutError == 0) return status;
    if (s_stdoutError == EPIPE) return StopSignals::exitStatusFor(StopSignals::brokenPipeSignal());
    writeStderr(QStringLiteral("nrv508-cli: cannot write to standard output: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(s_stdoutError))));
    return ExitFailure;
}
