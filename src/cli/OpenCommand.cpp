#include "app/Program.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/ModelText.h"
#include "cli/StderrMessages.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "tables/Modes.h"

namespace {
int runOpen(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {"--out"}, {"--panels"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (args.positional.size() != 1)
        return usageError(self, QStringLiteral("give exactly one data file"));
    const QString path = args.positional.first();

    DataFile::Contents contents;
    QString error;
    if (!DataFile::loadSaved(path, &contents, &error)) {
        writeStderr(error);
        return ExitFailure;
    }

    DevicePort port;
    StderrMessages messages;
    Program program(port, messages);
    program.startUp();
    DataFile::apply(contents, program.model);

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
