#include "archive/SqlDialect.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>

namespace {
// SQLite's primary result codes that the archive tells apart.
constexpr int kSqliteIoError = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteNotADatabase = 26;
constexpr int kConnectTimeoutS = 5;

int nativeCode(const QSqlError &error)
{
    // The SQLite driver gives the primary code; an extended one carries it in its low byte.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}
} // namespace

SqlDialect::Kind SqlDialect::kindOf(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://")) ||
                   location.startsWith(QLatin1String("postgres://"))
               ? Kind::PostgreSQL
               : Kind::SQLite;
}

QString SqlDialect::driver() const
{
    return m_kind == Kind::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

void SqlDialect::setConnection(QSqlDatabase &db, const QString &location, int busyTimeoutMs) const
{
    if (m_kind == Kind::SQLite) {
        db.setDatabaseName(location);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        return;
    }
    const QUrl url(location);
    db.setHostName(url.host());
    if (url.port() > 0) db.setPort(url.port());
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
    // An unreachable server is told within seconds, not after the system's TCP time-out.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutS));
}

QString SqlDialect::sql(QString statement) const
{
    // Each placeholder with its SQLite and its PostgreSQL text.
    static const struct {
        const char *placeholder, *sqlite, *postgres;
    } kWords[] = {
        {"%ID%", "INTEGER PRIMARY KEY AUTOINCREMENT", "BIGSERIAL PRIMARY KEY"},
        {"%INT%", "INTEGER", "BIGINT"},
        {"%REAL%", "REAL", "DOUBLE PRECISION"},
        {"%BLOB%", "BLOB", "BYTEA"},
        {"%KEYED%", " WITHOUT ROWID", ""},
        {"%WHO%", "''", "CURRENT_USER"},
        {"%LIKE%", "LIKE", "ILIKE"},
    };
    const bool lite = m_kind == Kind::SQLite;
    for (const auto &w : kWords)
        statement.replace(QLatin1String(w.placeholder),
                          QLatin1String(lite ? w.sqlite : w.postgres));
    return statement;
}

QStringList SqlDialect::connectionSetup(bool bulk) const
{
    if (m_kind == Kind::PostgreSQL)
        return {bulk ? QStringLiteral("SET synchronous_commit TO OFF")
                     : QStringLiteral("SET synchronous_commit TO ON")};
    // WAL lets readers go on while one copy of the program writes; FULL syncs every commit,
    // NORMAL only at checkpoints (a commit then survives the program's death, not a power cut).
    return {QStringLiteral("PRAGMA journal_mode=WAL"),
            bulk ? QStringLiteral("PRAGMA synchronous=NORMAL")
                 : QStringLiteral("PRAGMA synchronous=FULL"),
            QStringLiteral("PRAGMA foreign_keys=ON")};
}

QString SqlDialect::beginWrite() const
{
    return m_kind == Kind::SQLite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
}

QString SqlDialect::tableExistsQuery() const
{
    return m_kind == Kind::SQLite
               ? QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?")
               : QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_name = ?");
}

QString SqlDialect::firstLine(const QString &text)
{
    return text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString SqlDialect::reason(const QSqlError &error) const
{
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (m_kind != Kind::PostgreSQL) return text;
    // The message is the first line; the driver appends the error code, the server context.
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s+"));
    static const QRegularExpression code(QStringLiteral("\\s*\\([0-9A-Z]{5}\\)$"));
    text = firstLine(text);
    text.remove(severity);
    text.remove(code);
    return text;
}

bool SqlDialect::isCorruption(const QSqlError &error) const
{
    if (m_kind != Kind::SQLite) return false;
    const int code = nativeCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

bool SqlDialect::isFull(const QSqlError &error) const
{
    if (m_kind == Kind::PostgreSQL) return error.nativeErrorCode() == QLatin1String("53100");
    // A write refused by a file-size limit or a failing device comes back as an I/O error.
    const int code = nativeCode(error);
    return code == kSqliteFull || code == kSqliteIoError;
}
