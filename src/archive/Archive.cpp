#include "archive/Archive.h"

#include "app/ProgramSettings.h"
#include "archive/ArchiveSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>
#include <QtCore/qglobal.h>
#include <numeric>
#include <tuple>

namespace {
const char kColumns[] = "id, received, archived, ended, mode, records, version, sampling, origin, "
                        "source, sha256, customer, site, note, archived_by";
// Rows per INSERT of readings: one round trip to a server carries many (well inside the
// engines' limits on bound values).
constexpr int kRowsPerInsert = 1000;
constexpr int kReadingColumns = 4 + ReadingRows::kCount;
// When a live run's last reading arrived, as an SQL expression on its row of downloads: the
// run's start for readings archived before arrival times were kept, or a run with none.
const char kLastReading[] = "COALESCE((SELECT MAX(arrived) FROM readings WHERE download_id = "
                            "downloads.id), received)";

qint64 msOf(const QDateTime &time)
{
    return (time.isValid() ? time : QDateTime::currentDateTime()).toMSecsSinceEpoch();
}

// An empty text, never SQL's NULL, for the text columns that hold one.
QString text(const QString &value)
{
    return value.isNull() ? QString(QLatin1String("")) : value;
}

QDateTime timeOf(const QVariant &ms)
{
    return ms.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms.toLongLong());
}

ArchiveEntry entryOf(const QSqlQuery &q)
{
    ArchiveEntry e;
    e.id = q.value(0).toLongLong();
    e.received = timeOf(q.value(1));
    e.archived = timeOf(q.value(2));
    e.ended = timeOf(q.value(3));
    e.mode = q.value(4).toInt();
    e.records = q.value(5).toInt();
    e.version = q.value(6).toString();
    e.sampling = q.value(7).toString();
    e.origin = q.value(8).toString();
    e.source = q.value(9).toString();
    e.sha256 = q.value(10).toString();
    e.customer = q.value(11).toString();
    e.site = q.value(12).toString();
    e.note = q.value(13).toString();
    e.archivedBy = q.value(14).toString();
    return e;
}

QString likePattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    escaped.replace(QLatin1String("%"), QLatin1String("\\%"));
    escaped.replace(QLatin1String("_"), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

bool startsAsSqlite(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0) return true; // a new archive is made there
    if (!file.open(QIODevice::ReadOnly)) return true;    // open() reports why it cannot read
    return file.read(16) == QByteArray("SQLite format 3", 16);
}
} // namespace

// Statements prepared once for the many inserts of one transaction: each prepare is a round
// trip to a server.
struct Archive::Inserts {
    explicit Inserts(const QSqlDatabase &db) : download(db), rows(db), labels(db) {}
    QSqlQuery download;
    QSqlQuery rows;
    QSqlQuery labels;
    QString rowsPrepared;
};

Archive::Archive() = default;

Archive::~Archive()
{
    close();
}

QString Archive::defaultLocation()
{
    const QString named = qEnvironmentVariable("NRV508_ARCHIVE");
    if (!named.isEmpty()) return named;
    const QString set = ProgramSettings().value(QLatin1String(kSettingsKey)).toString();
    if (!set.isEmpty()) return set;
    // The program's data directory, named alike for the window and the command line.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    return QDir(dir).filePath(QStringLiteral("%1/%2/archive.sqlite")
                                  .arg(QLatin1String(kOrganisation), QLatin1String(kApplication)));
}

bool Archive::open(const QString &location, QString *error)
{
    close();
    m_location = location;
    m_setAside.clear();
    m_dialect = SqlDialect(SqlDialect::kindOf(location));
    m_runLocks.setArchive(m_dialect.kind() == SqlDialect::Kind::SQLite ? location : QString());
    if (m_dialect.kind() == SqlDialect::Kind::PostgreSQL) {
        bool corrupt = false;
        if (connect(error) && prepare(error, &corrupt)) return true;
        close();
        return false;
    }
    return openSqliteFile(error);
}

bool Archive::openSqliteFile(QString *error)
{
    const QFileInfo info(m_location);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("Cannot open the archive %1: its directory cannot be made.")
                     .arg(shownLocation());
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("Cannot open the archive %1: it is not a regular file.")
                     .arg(shownLocation());
        return false;
    }
    bool corrupt = !startsAsSqlite(m_location);
    if (!corrupt) {
        if (!connect(error)) return false;
        if (prepare(error, &corrupt)) return true;
        close();
        if (!corrupt) return false;
    }
    // Not an archive, or a damaged one: keep it for whoever wants to rescue it, start afresh.
    if (!setAside(error)) return false;
    if (!connect(error)) return false;
    if (prepare(error, &corrupt)) return true;
    close();
    return false;
}

bool Archive::setAside(QString *error)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_location + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_location + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_location, target)) {
        *error = QStringLiteral("The archive %1 is damaged and cannot be moved aside.")
                     .arg(shownLocation());
        return false;
    }
    // Its journal belongs to it: left beside a fresh archive it would be replayed into it.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = m_location + QLatin1String(suffix);
        if (QFile::exists(side)) QFile::rename(side, target + QLatin1String(suffix));
    }
    m_setAside = target;
    return true;
}

bool Archive::connect(QString *error)
{
    m_connection = QStringLiteral("nrv508-archive-") + QUuid::createUuid().toString();
    QSqlDatabase db = QSqlDatabase::addDatabase(m_dialect.driver(), m_connection);
    m_dialect.setConnection(db, m_location, kBusyTimeoutMs);
    if (db.open()) return true;
    *error = failure(QStringLiteral("Cannot open"), db.lastError());
    db = QSqlDatabase(); // let go of the connection before it is removed
    close();
    return false;
}

void Archive::close()
{
    // A run still open is left to be ended by the next program that opens the archive.
    m_runLocks.releaseAll();
    if (m_connection.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

QSqlDatabase Archive::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString Archive::shownLocation() const
{
    if (m_dialect.kind() == SqlDialect::Kind::PostgreSQL)
        return QUrl(m_location).toDisplayString(QUrl::RemovePassword);
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(m_location));
}

QString Archive::failure(const QString &what, const QSqlError &error) const
{
    QString reason = m_dialect.reason(error);
    if (m_dialect.isFull(error))
        reason = QStringLiteral("the disk is full or refuses writes (%1)").arg(reason);
    return QStringLiteral("%1 the archive %2: %3.").arg(what, shownLocation(), reason);
}

bool Archive::exec(QSqlQuery &query, QString *error, bool *corrupt)
{
    // A statement that failed to prepare reports why there, not in exec() ("No query").
    const QSqlError prepared = query.lastError();
    if (!prepared.isValid() && query.exec()) return true;
    const QSqlError failed = prepared.isValid() ? prepared : query.lastError();
    if (corrupt) *corrupt = m_dialect.isCorruption(failed);
    *error = failure(QStringLiteral("Cannot use"), failed);
    return false;
}

bool Archive::prepare(QString *error, bool *corrupt)
{
    for (const QString &statement : m_dialect.connectionSetup(false))
        if (!run(statement, error, corrupt)) return false;
    return migrate(error, corrupt);
}

bool Archive::setBulk(bool bulk, QString *error)
{
    for (const QString &statement : m_dialect.connectionSetup(bulk))
        if (!run(statement, error)) return false;
    return true;
}

std::optional<int> Archive::schemaVersion(QString *error, bool *corrupt)
{
    QSqlQuery q(database());
    q.prepare(m_dialect.tableExistsQuery());
    q.addBindValue(QStringLiteral("archive_meta"));
    if (!exec(q, error, corrupt)) return std::nullopt;
    if (!q.next()) return 0;
    q.prepare(QStringLiteral("SELECT value FROM archive_meta WHERE key = 'schema'"));
    if (!exec(q, error, corrupt)) return std::nullopt;
    return q.next() ? q.value(0).toInt() : 0;
}

bool Archive::migrate(QString *error, bool *corrupt)
{
    for (;;) {
        // The version is read under the write lock, so two programs opening a new archive at
        // once do not both build it.
        std::optional<int> version = schemaVersion(error, corrupt);
        if (!version) return false;
        if (*version == ArchiveSchema::kCurrent) return true;
        if (*version > ArchiveSchema::kCurrent) {
            *error = QStringLiteral("The archive %1 was written by a newer version of this "
                                    "program (archive format %2; this one reads up to %3). It "
                                    "was left as it is.")
                         .arg(shownLocation())
                         .arg(*version)
                         .arg(ArchiveSchema::kCurrent);
            return false;
        }
        if (!begin(error)) return false;
        version = schemaVersion(error, corrupt);
        if (!version || *version >= ArchiveSchema::kCurrent) {
            rollback();
            if (!version) return false;
            continue;
        }
        QStringList steps = ArchiveSchema::stepTo(*version + 1);
        if (m_dialect.hasRoles()) steps << ArchiveSchema::rightsTo(*version + 1);
        steps << QStringLiteral("DELETE FROM archive_meta WHERE key = 'schema'")
              << QStringLiteral("INSERT INTO archive_meta (key, value) VALUES ('schema', '%1')")
                     .arg(*version + 1);
        for (const QString &step : steps) {
            if (!run(m_dialect.sql(step), error, corrupt)) {
                rollback();
                return false;
            }
        }
        if (!commit(error)) return false;
    }
}

bool Archive::run(const QString &statement, QString *error, bool *corrupt)
{
    // Set-up, schema and transaction statements run unprepared: a server prepares only
    // queries and data changes.
    QSqlQuery q(database());
    if (q.exec(statement)) return true;
    if (corrupt) *corrupt = m_dialect.isCorruption(q.lastError());
    *error = failure(QStringLiteral("Cannot use"), q.lastError());
    return false;
}

bool Archive::begin(QString *error)
{
    return run(m_dialect.beginWrite(), error);
}

bool Archive::commit(QString *error)
{
    if (run(QStringLiteral("COMMIT"), error)) return true;
    rollback();
    return false;
}

void Archive::rollback()
{
    QSqlQuery q(database());
    q.exec(QStringLiteral("ROLLBACK"));
}

std::optional<Archive::Added> Archive::addDataFile(const QByteArray &bytes,
                                                   const ArchiveSource &source, QString *error)
{
    ReadingRows::Download download;
    if (!ReadingRows::fromDataFile(bytes, source.name, &download, error)) return std::nullopt;
    return addDownload(bytes, download, source, error);
}

std::optional<Archive::Added> Archive::addDownload(const QByteArray &bytes,
                                                   const ReadingRows::Download &download,
                                                   const ArchiveSource &source, QString *error)
{
    StoredDownload stored;
    stored.entry.received = QDateTime::fromMSecsSinceEpoch(msOf(source.received));
    stored.entry.mode = download.mode;
    stored.entry.version = download.version;
    stored.entry.sampling = download.sampling;
    stored.entry.origin = source.origin;
    stored.entry.source = source.name;
    stored.entry.sha256 =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    stored.entry.records = int(download.rows.size());
    stored.data = qCompress(bytes);
    stored.dataSize = bytes.size();
    stored.rows = download.rows;
    // A record's cells are those of the data file stored beside it: kept once, in the file.
    for (ReadingRows::Row &row : stored.rows)
        row.cells.clear();
    return adopt(stored, error);
}

std::optional<qint64> Archive::idOfKey(const StoredDownload &download, QString *error)
{
    const bool live = download.entry.sha256.isEmpty();
    QSqlQuery q(database());
    q.prepare(live ? QStringLiteral("SELECT id FROM downloads WHERE run_key = ?")
                   : QStringLiteral("SELECT id FROM downloads WHERE sha256 = ?"));
    q.addBindValue(live ? download.runKey : download.entry.sha256);
    if (!exec(q, error)) return std::nullopt;
    return q.next() ? q.value(0).toLongLong() : 0;
}

std::optional<Archive::Added> Archive::adopt(const StoredDownload &download, QString *error)
{
    QList<Added> added;
    if (!adoptAll({download}, &added, error)) return std::nullopt;
    return added.first();
}

bool Archive::adoptAll(const QList<StoredDownload> &downloads, QList<Added> *added, QString *error,
                       bool relabelOwn)
{
    for (const StoredDownload &download : downloads) {
        if (download.entry.sha256.isEmpty() && download.runKey.isEmpty()) {
            *error = QStringLiteral("Cannot use the archive %1: a live run without its key "
                                    "cannot be copied into it.")
                         .arg(shownLocation());
            return false;
        }
    }
    // In key order: two writers adding overlapping sets at once then wait for each other
    // instead of each holding a key the other needs.
    QList<qsizetype> order(downloads.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&downloads](qsizetype a, qsizetype b) {
        const StoredDownload &x = downloads[a], &y = downloads[b];
        return std::tie(x.entry.sha256, x.runKey) < std::tie(y.entry.sha256, y.runKey);
    });
    QList<Added> results(downloads.size());
    if (!begin(error)) return false;
    Inserts inserts(database());
    for (const qsizetype i : order) {
        const std::optional<Added> one = insertStored(downloads[i], inserts, relabelOwn, error);
        if (!one) {
            rollback();
            return false;
        }
        results[i] = *one;
    }
    if (!commit(error)) return false;
    *added = results;
    return true;
}

std::optional<Archive::Added> Archive::insertStored(const StoredDownload &download,
                                                    Inserts &inserts, bool relabelOwn,
                                                    QString *error)
{
    // Another writer (a team member on the same server) may be adding the same download: the
    // unique key settles it, and this insert adds nothing.
    const ArchiveEntry &e = download.entry;
    QSqlQuery &q = inserts.download;
    if (q.lastQuery().isEmpty())
        q.prepare(QStringLiteral("INSERT INTO downloads (received, archived, ended, mode, version,"
                                 " sampling, origin, source, sha256, run_key, data, data_size,"
                                 " records, customer, site, note)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                 " ON CONFLICT DO NOTHING RETURNING id"));
    const QVariant noTime{QMetaType(QMetaType::LongLong)};
    const QVariant noText{QMetaType(QMetaType::QString)};
    int column = 0;
    for (const QVariant &v :
         QVariantList{msOf(e.received), msOf({}),
                      e.ended.isValid() ? QVariant(e.ended.toMSecsSinceEpoch()) : noTime, e.mode,
                      text(e.version), text(e.sampling), e.origin, text(e.source),
                      e.sha256.isEmpty() ? noText : QVariant(e.sha256),
                      download.runKey.isEmpty() ? noText : QVariant(download.runKey),
                      download.data.isNull() ? QVariant(QMetaType(QMetaType::QByteArray))
                                             : QVariant(download.data),
                      download.dataSize, e.records, text(e.customer), text(e.site), text(e.note)})
        q.bindValue(column++, v);
    if (!exec(q, error)) return std::nullopt;
    if (!q.next()) {
        q.finish();
        const std::optional<qint64> known = idOfKey(download, error);
        if (!known) return std::nullopt;
        if (!relabelOwn) return Added{*known, true};
        const std::optional<bool> relabelled = takeOwnLabels(*known, e, inserts, error);
        if (!relabelled) return std::nullopt;
        return Added{*known, true, *relabelled};
    }
    const qint64 id = q.value(0).toLongLong();
    q.finish();
    if (!insertRows(id, download.rows, inserts, error)) return std::nullopt;
    return Added{id, false};
}

std::optional<bool> Archive::takeOwnLabels(qint64 id, const ArchiveEntry &labels, Inserts &inserts,
                                           QString *error)
{
    // Only the connected user's own download, and only when a label differs: a colleague's
    // labels are never rewritten, and an unchanged download is not counted as relabelled.
    QSqlQuery &q = inserts.labels;
    if (q.lastQuery().isEmpty())
        q.prepare(m_dialect.sql(QStringLiteral(
            "UPDATE downloads SET customer = ?, site = ?, note = ? WHERE id = ? "
            "AND archived_by = %WHO% AND (customer <> ? OR site <> ? OR note <> ?)")));
    int column = 0;
    for (const QVariant &v :
         QVariantList{text(labels.customer), text(labels.site), text(labels.note), id,
                      text(labels.customer), text(labels.site), text(labels.note)})
        q.bindValue(column++, v);
    if (!exec(q, error)) return std::nullopt;
    return q.numRowsAffected() > 0;
}

bool Archive::insertRows(qint64 id, const QList<ReadingRows::Row> &rows, Inserts &inserts,
                         QString *error)
{
    QSqlQuery &q = inserts.rows;
    QString &prepared = inserts.rowsPrepared;
    const QString tuple =
        QLatin1Char('(') + QStringList(kReadingColumns, QStringLiteral("?")).join(',') + ')';
    for (qsizetype first = 0; first < rows.size(); first += kRowsPerInsert) {
        const qsizetype n = std::min<qsizetype>(kRowsPerInsert, rows.size() - first);
        const QString statement =
            QStringLiteral("INSERT INTO readings (download_id, row_no, cells, co, o2, co2, ratio,"
                           " xair, eff, temp1, temp2, pressure, value1, value2, arrived) VALUES ") +
            QStringList(n, tuple).join(',');
        if (statement != prepared) {
            q.prepare(statement);
            prepared = statement;
        }
        for (qsizetype r = 0; r < n; ++r) {
            const ReadingRows::Row &row = rows[first + r];
            const int at = int(r) * kReadingColumns;
            q.bindValue(at, id);
            q.bindValue(at + 1, row.row);
            q.bindValue(at + 2, text(ReadingRows::joinCells(row.cells)));
            for (int i = 0; i < ReadingRows::kCount; ++i) {
                const std::optional<double> &v = row.values[i];
                q.bindValue(at + 3 + i, v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double)));
            }
            q.bindValue(at + 3 + ReadingRows::kCount,
                        row.arrived.isValid() ? QVariant(row.arrived.toMSecsSinceEpoch())
                                              : QVariant(QMetaType(QMetaType::LongLong)));
        }
        if (!exec(q, error)) return false;
    }
    return true;
}

std::optional<qint64> Archive::beginLiveRun(const ArchiveSource &source, QString *error)
{
    // Locked before anyone can see the run, so no other program takes it for one left open.
    const QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!m_runLocks.hold(key, error)) return std::nullopt;
    if (!begin(error)) {
        m_runLocks.release(key);
        return std::nullopt;
    }
    QSqlQuery q(database());
    q.prepare(QStringLiteral("INSERT INTO downloads (received, archived, mode, origin, source,"
                             " run_key) VALUES (?, ?, 0, 'live', ?, ?) RETURNING id"));
    q.addBindValue(msOf(source.received));
    q.addBindValue(msOf({}));
    q.addBindValue(text(source.name));
    q.addBindValue(key);
    if (!exec(q, error) || !q.next()) {
        rollback();
        m_runLocks.release(key);
        return std::nullopt;
    }
    const qint64 id = q.value(0).toLongLong();
    q.finish();
    if (!commit(error)) {
        m_runLocks.release(key);
        return std::nullopt;
    }
    m_runLocks.held(key, id);
    return id;
}

bool Archive::appendReading(qint64 run, const ReadingRows::Row &reading, QString *error)
{
    if (!begin(error)) return false;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE downloads SET records = records + 1 WHERE id = ? AND "
                             "origin = 'live'"));
    q.addBindValue(run);
    bool ok = exec(q, error);
    if (ok && q.numRowsAffected() != 1) {
        *error = QStringLiteral("Cannot use the archive %1: it holds no live run %2.")
                     .arg(shownLocation())
                     .arg(run);
        ok = false;
    }
    Inserts inserts(database());
    if (!ok || !insertRows(run, {reading}, inserts, error)) {
        rollback();
        return false;
    }
    return commit(error);
}

bool Archive::endLiveRun(qint64 run, QString *error)
{
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE downloads SET ended = ? WHERE id = ? AND origin = 'live'"));
    q.addBindValue(msOf({}));
    q.addBindValue(run);
    if (!exec(q, error)) return false;
    // Only once the end is committed: whoever takes the lock next finds the run ended.
    m_runLocks.release(run);
    return true;
}

QString Archive::whereClause(const ArchiveFilter &filter, QVariantList *values) const
{
    QStringList parts;
    if (!filter.text.isEmpty()) {
        parts << m_dialect.sql(QStringLiteral("(customer %LIKE% ? ESCAPE '\\' OR site %LIKE% ? "
                                              "ESCAPE '\\' OR note %LIKE% ? ESCAPE '\\')"));
        const QString pattern = likePattern(filter.text);
        *values << pattern << pattern << pattern;
    }
    if (filter.since.isValid()) {
        parts << QStringLiteral("received >= ?");
        *values << filter.since.startOfDay().toMSecsSinceEpoch();
    }
    if (filter.until.isValid()) {
        parts << QStringLiteral("received < ?");
        *values << filter.until.addDays(1).startOfDay().toMSecsSinceEpoch();
    }
    if (filter.mode) {
        parts << QStringLiteral("mode = ?");
        *values << *filter.mode;
    }
    if (!filter.customer.isEmpty()) {
        parts << QStringLiteral("customer = ?");
        *values << filter.customer;
    }
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(" AND ");
}

std::optional<QList<ArchiveEntry>> Archive::list(const ArchiveFilter &filter, int offset, int limit,
                                                 QString *error)
{
    QVariantList values;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM downloads%2 ORDER BY received DESC, id DESC"
                             " LIMIT %3 OFFSET %4")
                  .arg(QLatin1String(kColumns), whereClause(filter, &values))
                  .arg(limit)
                  .arg(offset));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!exec(q, error)) return std::nullopt;
    QList<ArchiveEntry> entries;
    while (q.next())
        entries << entryOf(q);
    return entries;
}

std::optional<int> Archive::count(const ArchiveFilter &filter, QString *error)
{
    QVariantList values;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM downloads") + whereClause(filter, &values));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!exec(q, error) || !q.next()) return std::nullopt;
    return q.value(0).toInt();
}

std::optional<ArchiveEntry> Archive::entry(qint64 id, QString *error)
{
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT %1 FROM downloads WHERE id = ?").arg(QLatin1String(kColumns)));
    q.addBindValue(id);
    if (!exec(q, error)) return std::nullopt;
    if (q.next()) return entryOf(q);
    *error = QStringLiteral("The archive %1 holds no download %2.").arg(shownLocation()).arg(id);
    return std::nullopt;
}

std::optional<QByteArray> Archive::dataFile(qint64 id, QString *error)
{
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT data, data_size, origin FROM downloads WHERE id = ?"));
    q.addBindValue(id);
    if (!exec(q, error)) return std::nullopt;
    if (!q.next()) {
        *error =
            QStringLiteral("The archive %1 holds no download %2.").arg(shownLocation()).arg(id);
        return std::nullopt;
    }
    if (q.value(2).toString() == QLatin1String("live")) {
        *error = QStringLiteral("Download %1 of the archive %2 is a live run: it has readings "
                                "but no data file.")
                     .arg(id)
                     .arg(shownLocation());
        return std::nullopt;
    }
    const QByteArray bytes = qUncompress(q.value(0).toByteArray());
    if (bytes.size() != q.value(1).toLongLong()) {
        *error = QStringLiteral("Download %1 of the archive %2 is damaged: its data file cannot "
                                "be read back.")
                     .arg(id)
                     .arg(shownLocation());
        return std::nullopt;
    }
    return bytes;
}

bool Archive::readings(qint64 id, QStringList *header, QList<ReadingRows::Row> *rows,
                       QString *error)
{
    const std::optional<ArchiveEntry> e = entry(id, error);
    if (!e) return false;
    if (e->live()) {
        *header = ReadingRows::realHeader();
    } else {
        const std::optional<QByteArray> bytes = dataFile(id, error);
        ReadingRows::Download download;
        if (!bytes || !ReadingRows::fromDataFile(*bytes, e->source, &download, error)) return false;
        *header = download.header;
        return loadRows(id, rows, error, &download);
    }
    return loadRows(id, rows, error);
}

bool Archive::loadRows(qint64 id, QList<ReadingRows::Row> *rows, QString *error,
                       const ReadingRows::Download *file)
{
    // The records of the data file by table row, for the records that keep their cells there.
    QHash<int, const QStringList *> fileCells;
    if (file)
        for (const ReadingRows::Row &record : file->rows)
            fileCells.insert(record.row, &record.cells);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT row_no, cells, co, o2, co2, ratio, xair, eff, temp1, temp2,"
                       " pressure, value1, value2, arrived FROM readings WHERE download_id = ?"
                       " ORDER BY row_no"));
    q.addBindValue(id);
    if (!exec(q, error)) return false;
    rows->clear();
    while (q.next()) {
        ReadingRows::Row row;
        row.row = q.value(0).toInt();
        const QString cells = q.value(1).toString();
        if (!cells.isEmpty())
            row.cells = ReadingRows::splitCells(cells);
        else if (const QStringList *inFile = fileCells.value(row.row))
            row.cells = *inFile;
        for (int i = 0; i < ReadingRows::kCount; ++i)
            if (!q.isNull(2 + i)) row.values[i] = q.value(2 + i).toDouble();
        row.arrived = timeOf(q.value(2 + ReadingRows::kCount));
        *rows << row;
    }
    return true;
}

std::optional<QList<ArchivedValue>> Archive::values(const ArchiveFilter &filter, int quantity,
                                                    QString *error)
{
    const QString column = QLatin1String(ReadingRows::columnName(quantity));
    if (column.isEmpty()) {
        *error = QStringLiteral("No quantity %1 in the archive.").arg(quantity);
        return std::nullopt;
    }
    QVariantList values;
    QString where = whereClause(filter, &values);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + column +
             QStringLiteral(" IS NOT NULL");
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, received, row_no, %1 FROM downloads JOIN readings ON "
                             "download_id = id%2 ORDER BY received, id, row_no")
                  .arg(column, where));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!exec(q, error)) return std::nullopt;
    QList<ArchivedValue> out;
    while (q.next())
        out.append({q.value(0).toLongLong(), timeOf(q.value(1)), q.value(2).toInt(),
                    q.value(3).toDouble()});
    return out;
}

bool Archive::label(qint64 id, const ArchiveLabels &labels, QString *error)
{
    if (!entry(id, error)) return false;
    QStringList sets;
    QVariantList values;
    auto add = [&](const char *column, const std::optional<QString> &text) {
        if (!text) return;
        sets << QStringLiteral("%1 = ?").arg(QLatin1String(column));
        values << ::text(*text);
    };
    add("customer", labels.customer);
    add("site", labels.site);
    add("note", labels.note);
    if (sets.isEmpty()) return true;
    if (!begin(error)) return false;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE downloads SET %1 WHERE id = ?").arg(sets.join(", ")));
    for (const QVariant &v : values)
        q.addBindValue(v);
    q.addBindValue(id);
    bool ok = exec(q, error) && changedOne(q, id, error);
    if (ok && m_dialect.pushes()) {
        // Pushed before, the download is pushed again and its copy takes the new labels.
        q.prepare(QStringLiteral("DELETE FROM pushes WHERE download_id = ?"));
        q.addBindValue(id);
        ok = exec(q, error);
    }
    if (!ok) {
        rollback();
        return false;
    }
    return commit(error);
}

bool Archive::changedOne(const QSqlQuery &q, qint64 id, QString *error) const
{
    // On a team archive a download can be seen by someone who may not change it: the server
    // then changes nothing, without an error of its own.
    if (q.numRowsAffected() > 0) return true;
    *error = QStringLiteral("Download %1 of the archive %2 was archived by someone else; this "
                            "user may not change or delete it.")
                 .arg(id)
                 .arg(shownLocation());
    return false;
}

bool Archive::remove(qint64 id, QString *error)
{
    if (!entry(id, error) || !begin(error)) return false;
    for (const char *statement :
         {"DELETE FROM readings WHERE download_id = ?", "DELETE FROM downloads WHERE id = ?"}) {
        QSqlQuery q(database());
        q.prepare(QLatin1String(statement));
        q.addBindValue(id);
        const bool downloadRow = QLatin1String(statement).contains(QLatin1String("downloads"));
        if (!exec(q, error) || (downloadRow && !changedOne(q, id, error))) {
            rollback();
            return false;
        }
    }
    return commit(error);
}

std::optional<StoredDownload> Archive::stored(qint64 id, QString *error)
{
    StoredDownload download;
    const std::optional<ArchiveEntry> e = entry(id, error);
    if (!e) return std::nullopt;
    download.entry = *e;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT data, data_size, run_key FROM downloads WHERE id = ?"));
    q.addBindValue(id);
    if (!exec(q, error)) return std::nullopt;
    if (q.next()) {
        download.data = q.value(0).toByteArray();
        download.dataSize = q.value(1).toLongLong();
        download.runKey = q.value(2).toString();
    }
    if (!loadRows(id, &download.rows, error)) return std::nullopt;
    return download;
}

std::optional<QList<qint64>> Archive::unpushed(const QString &team, int limit, QString *error)
{
    // A live run goes once it has ended; until then it may still grow.
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id FROM downloads WHERE (origin <> 'live' OR ended IS NOT "
                             "NULL) AND id NOT IN (SELECT download_id FROM pushes WHERE team = ?)"
                             " ORDER BY id LIMIT %1")
                  .arg(limit));
    q.addBindValue(team);
    if (!exec(q, error)) return std::nullopt;
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

bool Archive::markPushed(const QList<qint64> &ids, const QString &team, QString *error)
{
    if (!begin(error)) return false;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("INSERT INTO pushes (download_id, team, pushed) VALUES (?, ?, ?)"
                             " ON CONFLICT DO NOTHING"));
    for (const qint64 id : ids) {
        q.bindValue(0, id);
        q.bindValue(1, team);
        q.bindValue(2, msOf({}));
        if (!exec(q, error)) {
            rollback();
            return false;
        }
    }
    return commit(error);
}

bool Archive::keyOldLiveRuns(QString *error)
{
    // Runs archived before runs had keys get one now, once, so they can be pushed too.
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT id FROM downloads WHERE origin = 'live' AND run_key IS NULL"));
    if (!exec(q, error)) return false;
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    for (const qint64 id : ids) {
        q.prepare(QStringLiteral("UPDATE downloads SET run_key = ? WHERE id = ?"));
        q.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
        q.addBindValue(id);
        if (!exec(q, error)) return false;
    }
    return true;
}

std::optional<int> Archive::endAbandonedRuns(QString *error)
{
    if (!keyOldLiveRuns(error)) return std::nullopt;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT id, run_key FROM downloads WHERE origin = 'live' AND ended "
                             "IS NULL"));
    if (!exec(q, error)) return std::nullopt;
    QList<std::pair<qint64, QString>> open;
    while (q.next())
        open.append({q.value(0).toLongLong(), q.value(1).toString()});
    int ended = 0;
    for (const auto &[id, key] : open) {
        if (m_runLocks.holds(id)) continue;
        const std::unique_ptr<QLockFile> lock = m_runLocks.takeAbandoned(key);
        if (!lock) continue; // recorded by a program still running, or nothing locks here
        // Still open under the lock: its program is gone and the run ended with its last reading.
        q.prepare(QStringLiteral("UPDATE downloads SET ended = %1 WHERE id = ? AND ended IS NULL")
                      .arg(QLatin1String(kLastReading)));
        q.addBindValue(id);
        if (!exec(q, error)) return std::nullopt;
        ended += q.numRowsAffected() > 0 ? 1 : 0;
    }
    return ended;
}
