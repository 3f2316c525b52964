#include "archive/TeamConnection.h"

#include "archive/SqlDialect.h"
#include "archive/TeamSync.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

namespace {
QString reached(QSqlDatabase &db, const QUrl &url, const QString &where)
{
    QSqlQuery q(db);
    const bool archive =
        q.exec(QStringLiteral("SELECT value FROM archive_meta WHERE key = 'schema'")) && q.next();
    return QStringLiteral("Reached the server at %1 as %2, database %3: %4")
        .arg(where, url.userName(), url.path().mid(1),
             archive ? QStringLiteral("it holds a team archive.")
                     : QStringLiteral("it holds no team archive yet; the database's owner makes "
                                      "it by opening it once."));
}
} // namespace

TeamConnection::Result TeamConnection::probe(const QString &location)
{
    const QString problem = TeamSync::checkLocation(location);
    if (!problem.isEmpty())
        return {Outcome::NotAUrl, QStringLiteral("Not a team archive: %1.").arg(problem)};
    const QUrl url(location);
    const QString where = QStringLiteral("%1:%2").arg(url.host()).arg(url.port(5432));
    const QString name = QStringLiteral("nrv508-probe-") + QUuid::createUuid().toString();
    Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        SqlDialect(SqlDialect::Kind::PostgreSQL).setConnection(db, location, 0);
        if (db.open())
            result = {Outcome::Reached, reached(db, url, where)};
        else
            result = classify(db.lastError().databaseText(), where);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

TeamConnection::Result TeamConnection::classify(const QString &failure, const QString &where)
{
    // What the server itself says comes marked FATAL; everything else is the client's own
    // (no route, refused by the host, a time-out).
    const qsizetype fatal = failure.lastIndexOf(QLatin1String("FATAL:"));
    if (fatal >= 0)
        return {Outcome::Refused, QStringLiteral("The server at %1 refused the connection: %2.")
                                      .arg(where, SqlDialect::firstLine(failure.mid(fatal + 6)))};
    if (failure.contains(QLatin1String("no password supplied")))
        return {Outcome::Refused,
                QStringLiteral("The server at %1 asks for a password, and %2 holds none for this "
                               "server, database and user.")
                    .arg(where, QDir::toNativeSeparators(passwordFile()))};
    return {Outcome::NoServer,
            QStringLiteral("No server answers at %1 (%2).")
                .arg(where, SqlDialect::firstLine(failure.section(QLatin1String("failed:"), -1)))};
}

QString TeamConnection::passwordFile()
{
    const QString named = qEnvironmentVariable("PGPASSFILE");
    return named.isEmpty() ? QDir::home().filePath(QStringLiteral(".pgpass")) : named;
}

QString TeamConnection::passwordNote()
{
    return QStringLiteral("The password is never kept in the settings: it comes from %1, one "
                          "line host:port:database:user:password, readable only by you%2.")
        .arg(QDir::toNativeSeparators(passwordFile()),
             qEnvironmentVariableIsSet("PGPASSFILE") ? QStringLiteral(" (named by PGPASSFILE)")
                                                     : QString());
}
