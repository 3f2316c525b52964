#include "app/Program.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/Headless.h"
#include "cli/ModelText.h"
#include "files/BoundedRead.h"
#include "files/DataFile.h"
#include "link/ReceiveEvent.h"
#include "protocol/Numbers.h"

namespace {
// Far beyond any answer of the instrument (a Logger page is about 30 KB); reading stops here.
constexpr qint64 kMaxCaptureSize = 64 * 1024 * 1024;

int runParse(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {"--mode", "--out"}, {});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    const std::optional<int> mode = parseWholeNumber(args.value("--mode"));
    if (!mode || *mode < 0 || *mode > 11)
        return usageError(self, QStringLiteral("--mode takes a mode code from 0 to 11"));
    if (args.positional.isEmpty()) return usageError(self, QStringLiteral("no capture file given"));

    QList<QByteArray> captures;
    for (const QString &path : args.positional) {
        QByteArray bytes;
        QString error;
        if (!readBounded(path, kMaxCaptureSize, &bytes, &error)) {
            writeStderr(error);
            return ExitFailure;
        }
        captures << bytes;
    }

    Headless run; // its port stays closed: nothing is sent
    Program &program = run.program;
    program.modes.switchTo(*mode);
    // Each capture arrives as one burst, followed by the quiet gap that ends an answer.
    for (const QByteArray &bytes : captures) {
        takeReceived(program.model, bytes);
        program.reception.run();
    }

    const QByteArray out =
        *mode == 0 ? realModeLines(program.model) : DataFile::serialize(program.model);
    return writeOutput(args.value("--out"), out) ? ExitOk : ExitFailure;
}

const CliCommand::Registration parseCommand({
    QStringLiteral("parse"),
    QStringLiteral("nrv508-cli parse --mode CODE [--out FILE] CAPTURE [CAPTURE...]"),
    runParse,
    QStringLiteral(
        "Reads captured streams as the program reads an answer from the instrument: the mode is\n"
        "switched to CODE with the port closed (nothing is sent), then each CAPTURE arrives as\n"
        "one burst followed by the quiet gap that ends an answer. Writes the data file of the\n"
        "result; for mode 0, the Real Mode panels as name=caption lines instead.\n"
        "\n"
        "Options:\n"
        "  --mode CODE        the mode to read the captures in, 0 to 11; required\n"
        "  --out FILE         where the result goes, written whole or not at all\n"
        "                     (default: stdout)\n"
        "\n") +
        modeCodesHelp() +
        QStringLiteral("\n"
                       "Example:\n"
                       "  nrv508-cli parse --mode 2 --out page0.txt capture.txt\n"),
});
} // namespace
