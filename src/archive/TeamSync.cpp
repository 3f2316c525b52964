#include "archive/TeamSync.h"

#include "app/ProgramSettings.h"

#include <QThread>
#include <QUrl>
#include <climits>

namespace {
// Downloads looked up per round: a large backlog is pushed in steps of this many.
constexpr int kBatch = 500;
// Downloads per transaction on the server: fewer commits, and a failure costs little redone.
constexpr int kPerTransaction = 25;
constexpr int kFirstRetryMs = 500;
constexpr int kLongestRetryMs = 8000;
} // namespace

QString TeamSync::configuredLocation()
{
    const QString named = qEnvironmentVariable("NRV508_TEAM_ARCHIVE");
    if (!named.isEmpty()) return named;
    return ProgramSettings().value(QLatin1String(kSettingsKey)).toString();
}

QString TeamSync::checkLocation(const QString &location)
{
    if (SqlDialect::kindOf(location) != SqlDialect::Kind::PostgreSQL)
        return QStringLiteral("a team archive is a postgresql://user@host:port/database URL");
    const QUrl url(location);
    if (!url.isValid() || url.host().isEmpty() || url.path().size() < 2)
        return QStringLiteral("\"%1\" names no server and database").arg(location);
    if (!url.password().isEmpty())
        return QStringLiteral("the URL holds a password; keep it in the password file "
                              "(~/.pgpass or PGPASSFILE) instead");
    return QString();
}

bool TeamSync::configure(const QString &location, QString *error)
{
    if (!location.isEmpty()) {
        const QString problem = checkLocation(location);
        if (!problem.isEmpty()) {
            *error = QStringLiteral("Cannot use \"%1\" as the team archive: %2.")
                         .arg(QUrl(location).toDisplayString(QUrl::RemovePassword), problem);
            return false;
        }
    }
    ProgramSettings settings;
    settings.setValue(QLatin1String(kSettingsKey), location);
    settings.sync();
    return true;
}

QString TeamSync::teamKey(const QString &location)
{
    const QUrl url(location);
    return QStringLiteral("%1:%2%3").arg(url.host()).arg(url.port(5432)).arg(url.path());
}

bool TeamSync::pushAll(Archive &local, Archive &team, Report *report, const Progress &progress,
                       QString *error, bool *teamFault)
{
    *teamFault = false;
    // The record of a push need not survive a power cut: lost, the next push finds the
    // downloads in the team archive and records them again.
    // A run left open by a program that is gone is ended first and pushed like any other.
    if (!local.endAbandonedRuns(error) || !local.setBulk(true, error)) return false;
    const bool pushed = pushPending(local, team, report, progress, error, teamFault);
    QString ignored;
    local.setBulk(false, &ignored);
    return pushed;
}

bool TeamSync::pushPending(Archive &local, Archive &team, Report *report, const Progress &progress,
                           QString *error, bool *teamFault)
{
    const QString key = teamKey(team.location());
    for (;;) {
        const std::optional<QList<qint64>> ids = local.unpushed(key, kBatch, error);
        if (!ids) return false;
        if (ids->isEmpty()) break;
        for (qsizetype first = 0; first < ids->size(); first += kPerTransaction) {
            const QList<qint64> part = ids->mid(first, kPerTransaction);
            QList<StoredDownload> downloads;
            for (const qint64 id : part) {
                const std::optional<StoredDownload> download = local.stored(id, error);
                if (!download) return false;
                downloads << *download;
            }
            QList<Archive::Added> added;
            if (!team.adoptAll(downloads, &added, error, true)) {
                *teamFault = true;
                return false;
            }
            // Recorded only once the server has committed them: killed in between, the next
            // push finds them there and records them then.
            if (!local.markPushed(part, key, error)) return false;
            for (int i = 0; i < part.size(); ++i) {
                ++(added[i].relabelled ? report->relabelled
                   : added[i].existed  ? report->existed
                                       : report->pushed);
                if (progress) progress(downloads[i].entry, added[i]);
            }
        }
    }
    return true;
}

int TeamSync::waiting(Archive &local, const QString &teamLocation)
{
    QString error;
    const auto ids = local.unpushed(teamKey(teamLocation), INT_MAX, &error);
    return ids ? int(ids->size()) : 0;
}

bool TeamSync::pushWithRetry(Archive &local, const QString &teamLocation, int attempts,
                             Report *report, const Progress &progress, QString *error)
{
    int delay = kFirstRetryMs;
    for (int attempt = 1;; ++attempt) {
        Archive team;
        bool teamFault = true;
        if (team.open(teamLocation, error) &&
            pushAll(local, team, report, progress, error, &teamFault))
            return true;
        if (!teamFault || attempt >= attempts) {
            report->waiting = waiting(local, teamLocation);
            return false;
        }
        QThread::msleep(delay);
        delay = std::min(delay * 2, kLongestRetryMs);
    }
}
