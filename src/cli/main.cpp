#include "cli/CliCommand.h"
#include "platform/StopSignals.h"

#include <QGuiApplication>
#include <memory>

namespace {
QByteArray overview()
{
    QString text =
        QStringLiteral("usage: nrv508-cli COMMAND [ARGS...]   (COMMAND --help for more)\n");
    for (const CliCommand &command : CliCommand::all())
        text += QStringLiteral("  ") + command.usage + QLatin1Char('\n');
    text += QStringLiteral(
        "\nMessage boxes are written to stderr as \"TITLE: TEXT\" lines. Exit status: 0 "
        "success,\n1 a failure (stderr names the file or device and the reason), 2 a usage "
        "error.\nCOM1 to COM6 are /dev/ttyS0 to /dev/ttyS5 unless NRV508_COM<n> names another "
        "device.\n");
    return text.toLocal8Bit();
}

QtMessageHandler g_qtMessages = nullptr;

// A GUI application without a desktop session (cron, a service) warns about the missing
// runtime directory, which it does not need here; anything else Qt says still goes through.
void quietRuntimeDirWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (g_qtMessages) g_qtMessages(type, context, text);
}

// Drawing takes the fonts of a GUI application: the measurement report here, a chart image
// by the command's own choice. Every other command starts without them. No window is ever
// shown, so no display is needed.
QCoreApplication *makeApplication(int &argc, char **argv)
{
    const QByteArray name = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    g_qtMessages = qInstallMessageHandler(quietRuntimeDirWarning);
    for (const CliCommand &command : CliCommand::all())
        if (command.application && command.name == QLatin1String(name))
            return command.application(argc, argv);
    if (name != "export") return new QCoreApplication(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
}
} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app(makeApplication(argc, argv));
    // A reader that goes away (| head -1) makes writes fail with EPIPE, which finish() turns
    // into a quiet end, instead of killing the process in the middle of a live run's Stop.
    StopSignals::ignoreBrokenPipe();
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        writeStderr(QString::fromLocal8Bit(overview()).trimmed());
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("help")) {
        writeStdout(overview());
        return finish(ExitOk);
    }
    for (const CliCommand &command : CliCommand::all()) {
        if (command.name != name) continue;
        if (args.contains(QStringLiteral("--help"))) {
            writeStdout(helpText(command).toLocal8Bit());
            return finish(ExitOk);
        }
        return finish(command.run(command, args));
    }
    writeStderr(QStringLiteral("nrv508-cli: unknown command \"%1\"").arg(name));
    writeStderr(QString::fromLocal8Bit(overview()).trimmed());
    return ExitUsage;
}
