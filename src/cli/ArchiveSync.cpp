#include "cli/ArchiveSync.h"

#include "archive/TeamSync.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"

namespace {
// Tries in all before a push gives up on an unreachable server (about 15 s of waiting).
constexpr int kAttempts = 6;

QString sanitized(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}
} // namespace

int runArchiveSync(Archive &local, const Args &args, const CliCommand &self)
{
    if (args.positional.size() != 1)
        return usageError(self, QStringLiteral("sync takes no arguments"));
    const QString team = args.value("--team", TeamSync::configuredLocation());
    if (team.isEmpty())
        return usageError(self, QStringLiteral("no team archive: give --team URL or set "
                                               "NRV508_TEAM_ARCHIVE"));
    const QString problem = TeamSync::checkLocation(team);
    if (!problem.isEmpty()) return usageError(self, QStringLiteral("--team: ") + problem);
    if (local.dialect().kind() != SqlDialect::Kind::SQLite)
        return usageError(self, QStringLiteral("sync pushes a local archive file; --db names a "
                                               "server"));
    // One line per download as it reaches the team archive, so a script sees progress.
    const auto progress = [](const ArchiveEntry &e, const Archive::Added &added) {
        const QString what = added.relabelled ? QStringLiteral("labels updated")
                             : added.existed  ? QStringLiteral("already there")
                                              : QStringLiteral("pushed");
        writeStdout(
            QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                .arg(what)
                .arg(e.id)
                .arg(added.id)
                .arg(e.sha256.isEmpty() ? QStringLiteral("live") : e.sha256, sanitized(e.customer))
                .toUtf8());
    };
    TeamSync::Report report;
    QString error;
    const bool ok = TeamSync::pushWithRetry(local, team, kAttempts, &report, progress, &error);
    if (!ok) writeStderr(error);
    writeStdout(QStringLiteral("pushed %1, labels updated %2, already there %3, waiting %4\n")
                    .arg(report.pushed)
                    .arg(report.relabelled)
                    .arg(report.existed)
                    .arg(report.waiting)
                    .toUtf8());
    return ok ? ExitOk : ExitFailure;
}
