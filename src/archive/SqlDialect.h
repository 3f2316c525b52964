#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;
class QSqlError;

// Everything that differs between the SQL engines an archive can live in: column types, the
// statements that set a connection up, the write lock, the case-blind match and how a failure
// reads. The schema and the queries are written once with placeholders that this class fills,
// so no other file of the archive knows which engine it talks to.
class SqlDialect {
public:
    enum class Kind { SQLite, PostgreSQL };

    explicit SqlDialect(Kind kind = Kind::SQLite) : m_kind(kind) {}

    // A location is a PostgreSQL URL ("postgresql://user@host:port/db") or a file path.
    static Kind kindOf(const QString &location);

    Kind kind() const { return m_kind; }
    // The Qt SQL driver name.
    QString driver() const;

    // Fills the placeholders of a statement:
    //   %ID%    an auto-numbered 64-bit primary key column type
    //   %INT%   a 64-bit integer    %REAL%  a double    %BLOB%  a byte string
    //   %KEYED% what follows the closing parenthesis of a table clustered on its primary key
    //   %LIKE%  a case-blind LIKE
    //   %WHO%   who is connected: the server's role, nobody in a file of one computer
    QString sql(QString statement) const;

    // Points db (of driver()) at location: a file, or a server, user and database with a short
    // time-out for an unreachable server; the password, if any, comes from the URL.
    void setConnection(QSqlDatabase &db, const QString &location, int busyTimeoutMs) const;

    // Run once on every new connection; bulk trades durability against a power cut (never
    // against the program being killed) for speed, for long imports.
    QStringList connectionSetup(bool bulk) const;
    // Opens a write transaction that holds the write lock from its first statement, so two
    // writers queue behind each other instead of failing half-way.
    QString beginWrite() const;
    // Whether a table exists: one bound value, the table name; a row back means yes.
    QString tableExistsQuery() const;

    // Whether the engine has users with rights of their own (a team on a server), which the
    // schema then sets up.
    bool hasRoles() const { return m_kind == Kind::PostgreSQL; }
    // Whether an archive here is one computer's, which pushes to a team archive and keeps the
    // record of what it pushed (a team archive's own record stays empty).
    bool pushes() const { return m_kind == Kind::SQLite; }

    // Why a statement failed, in the engine's words and nothing else: a server's message
    // without its severity, context lines and error code.
    QString reason(const QSqlError &error) const;
    // The first line of a server's or client library's message, trimmed: hints and context
    // follow on further lines.
    static QString firstLine(const QString &text);
    // The file is damaged or is not an archive at all.
    bool isCorruption(const QSqlError &error) const;
    // The disk or a file-size limit is full, or the device refuses writes.
    bool isFull(const QSqlError &error) const;

private:
    Kind m_kind;
};
