#include "cli/CliCommand.h"
#include "platform/StopSignals.h"

#include <QGuiApplication>
#include <memory>

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

namespace {
QtMessageHandler g_qtMessages = nullptr;

// A GUI application without a desktop session (cron, a service) warns about the missing
// runtime directory, which it does not need here; anything else Qt says still goes through.
void quietRuntimeDirWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (g_qtMessages) g_qtMessages(type, context, text);
}
} // namespace

int main(int argc, char *argv[])
{
    // The measurement report draws text, which takes the fonts of a GUI application; every
    // other command starts without them. No window is ever shown, so no display is needed.
    const bool drawing = argc > 1 && qstrcmp(argv[1], "export") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (drawing) g_qtMessages = qInstallMessageHandler(quietRuntimeDirWarning);
    const std::unique_ptr<QCoreApplication> app =
        drawing ? std::make_unique<QGuiApplication>(argc, argv)
                : std::make_unique<QCoreApplication>(argc, argv);
    // A reader that goes away (| head -1) makes writes fail with EPIPE, which finish() turns
    // into a quiet end, instead of killing the process in the middle of a live run's Stop.
    StopSignals::ignoreBrokenPipe();
    QStringList args = app->arguments().mid(1);
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
