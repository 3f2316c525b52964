// nrv508-cli header: the Header button and the "OK" of each header line, each followed by its
// echo check, through the same code as the header window.

#include "app/PrintableText.h"
#include "app/Program.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/Headless.h"
#include "cli/PortOptions.h"
#include "link/DevicePort.h"
#include "link/HeaderWriter.h"

#include <QEventLoop>

namespace {
struct HeaderOptions : PortOptions {
    QString lines[2];
    bool given[2] = {false, false};
};

QString readOptions(const Args &args, HeaderOptions *o)
{
    if (!args.problem.isEmpty()) return args.problem;
    if (!args.positional.isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(args.positional.first());
    const QString problem = readPortOptions(args, o);
    if (!problem.isEmpty()) return problem;
    for (int i = 0; i < 2; ++i) {
        const QString option = QStringLiteral("--line%1").arg(i + 1);
        o->given[i] = args.options.contains(option);
        o->lines[i] = args.value(option);
        // The window's input boxes refuse the same texts as they are typed.
        if (o->given[i] && !HeaderWriter::isSendable(o->lines[i]))
            return QStringLiteral("%1 takes 1 to %2 printable ASCII characters")
                .arg(option)
                .arg(HeaderWriter::kLineWidth);
    }
    return QString();
}

// Why the echo check of a line said "Error !".
QString failureOf(const HeaderWriter &writer, const ScreenModel &model, int line)
{
    if (!writer.lastFailure().isEmpty()) return writer.lastFailure();
    if (model.HeaderEcho.isEmpty()) return QStringLiteral("no echo from the instrument");
    const QString &sent = line == 1 ? model.HeaderLine1 : model.HeaderLine2;
    return QStringLiteral("the instrument sent back \"%1\" for \"%2\"")
        .arg(printableText(model.HeaderEcho, 80), sent);
}

// Runs the event loop until Timer2 has checked this line's echo.
void awaitEchoCheck(HeaderWriter &writer, int line)
{
    QEventLoop loop;
    QObject::connect(&writer, &HeaderWriter::echoChecked, &loop, [&](int checked) {
        if (checked == line) loop.quit();
    });
    loop.exec();
}

int runHeader(const HeaderOptions &o)
{
    Headless run;
    Program &program = run.program;
    applyPortOptions(o, program, run.port);

    HeaderWriter &writer = program.header;
    writer.headerButton();
    bool allMatched = true;
    for (int line = 1; line <= 2; ++line) {
        if (!o.given[line - 1]) continue;
        writer.setInput(line, o.lines[line - 1]);
        writer.writeLine(line);
        awaitEchoCheck(writer, line);
        const QString &result = line == 1 ? writer.texts().Text3 : writer.texts().Text4;
        writeStdout(QStringLiteral("Text%1=%2\n").arg(line + 2).arg(result).toLatin1());
        if (result == HeaderWriter::kErrorText) {
            allMatched = false;
            writeStderr(QStringLiteral("nrv508-cli: header line %1 on %2 not confirmed: %3")
                            .arg(line)
                            .arg(o.device, failureOf(writer, program.model, line)));
        }
    }
    return allMatched ? ExitOk : ExitFailure;
}

int runHeaderCommand(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {"--port", "--baud", "--link", "--line1", "--line2"}, {});
    HeaderOptions options;
    const QString problem = readOptions(args, &options);
    if (!problem.isEmpty()) return usageError(self, problem);
    return runHeader(options);
}

const CliCommand::Registration headerCommand({
    QStringLiteral("header"),
    QStringLiteral("nrv508-cli header --port DEVICE [--baud 4800|9600|19200|38400] "
                   "[--link ir|bt] [--line1 TEXT] [--line2 TEXT]"),
    runHeaderCommand,
    QStringLiteral(
        "Writes the two lines of the instrument's printout header through the Header button\n"
        "and the \"OK\" of each line given, each followed by its echo check. Prints Text3=\n"
        "and/or Text4= as the result boxes show them; exits 1 when an echo does not match.\n"
        "\n"
        "Options:\n") +
        portOptionsHelp() +
        QStringLiteral(
            "  --line1 TEXT       the first header line, the address (default: not written)\n"
            "  --line2 TEXT       the second header line, the telephone (default: not written)\n"
            "\n"
            "Example:\n"
            "  nrv508-cli header --port COM1 --line1 \"12 High Street\" --line2 \"555-0199\"\n"),
});
} // namespace
