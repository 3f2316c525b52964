#include "app/Program.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/Headless.h"
#include "cli/ModelText.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

namespace {
int runOpen(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {"--out"}, {"--panels"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (args.positional.size() != 1)
        return usageError(self, QStringLiteral("give exactly one data file"));
    const QString path = args.positional.first();

    Headless run;
    if (!run.open(path)) return ExitFailure;
    Program &program = run.program;

    const QByteArray out = args.flags.contains("--panels") ? openedFileLines(program.model)
                                                           : DataFile::serialize(program.model);
    return writeOutput(args.value("--out"), out) ? ExitOk : ExitFailure;
}

const CliCommand::Registration openCommand({
    QStringLiteral("open"),
    QStringLiteral("nrv508-cli open FILE [--out FILE2] [--panels]"),
    runOpen,
});
} // namespace
