#include "cli/CliCommand.h"

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
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        writeStderr(QString::fromLocal8Bit(helpText()).trimmed());
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("help")) {
        writeStdout(helpText());
        return ExitOk;
    }
    for (const CliCommand &command : CliCommand::all()) {
        if (command.name != name) continue;
        if (args.contains(QStringLiteral("--help"))) {
            writeStdout(
                (QStringLiteral("usage: ") + command.usage + QLatin1Char('\n')).toLocal8Bit());
            return ExitOk;
        }
        return command.run(command, args);
    }
    writeStderr(QStringLiteral("nrv508-cli: unknown command \"%1\"").arg(name));
    writeStderr(QString::fromLocal8Bit(helpText()).trimmed());
    return ExitUsage;
}
