#include "app/Program.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/Headless.h"
#include "cli/ModelText.h"
#include "files/DataFile.h"
#include "link/ReceiveEvent.h"
#include "protocol/Numbers.h"

#include <QFile>

namespace {
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
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            writeStderr(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
            return ExitFailure;
        }
        captures << file.readAll();
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
});
} // namespace
