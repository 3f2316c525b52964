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
    QStringLiteral(
        "Reads the data file FILE into the main screen as \"Open OK\" reads it and writes the\n"
        "data file of the result, so a file written by the program comes back byte for byte.\n"
        "A file that cannot be read, or whose first value is no mode from 1 to 11, exits 1.\n"
        "\n"
        "Options:\n"
        "  --out FILE2        where the data file goes, written whole or not at all\n"
        "                     (default: stdout)\n"
        "  --panels           print what opening the file shows instead, as name=caption\n"
        "                     lines: CurrentMode, the visible frame and its panels (default:\n"
        "                     off)\n"
        "\n"
        "Example:\n"
        "  nrv508-cli open page0.txt --panels\n"),
});
} // namespace
