#include "cli/CliCommand.h"
#include "platform/StopSignals.h"

#include <QCoreApplication>

namespace {
QByteArray helpText()
{
    QString text =
        QStringLiteral("usage: nrv508-cli COMMAND [ARGS...]   (COMMAND --help for more)\n");
    for (const CliCommand &command : CliCommand::all())
        text += QStringLiteral("  ") + command.usage + QLatin1Char('\n');
    return text.toLocal8Bit();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A reader that goes away (| head -1) makes writes fail with EPIPE, which finish() turns
    // into a quiet end, instead of killing the process in the middle of a live run's Stop.
    StopSignals::ignoreBrokenPipe();
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        writeStderr(QString::fromLocal8Bit(helpText()).trimmed());
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("help")) {
        writeStdout(helpText());
        return finish(ExitOk);
    }
    for (const CliCommand &command : CliCommand::all()) {
        if (command.name != name) continue;
        if (args.contains(QStringLiteral("--help"))) {
            writeStdout(
                (QStringLiteral("usage: ") + command.usage + QLatin1Char('\n')).toLocal8Bit());
            return finish(ExitOk);
        }
        return finish(command.run(command, args));
    }
    writeStderr(QStringLiteral("nrv508-cli: unknown command \"%1\"").arg(name));
    writeStderr(QString::fromLocal8Bit(helpText()).trimmed());
    return ExitUsage;
}
