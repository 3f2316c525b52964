#pragma once

#include "archive/ArchiveEntry.h"
#include "archive/ReadingRows.h"
#include "archive/SqlDialect.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QSqlDatabase;

// A download as an archive holds it: the data file compressed as stored.
struct StoredDownload {
    ArchiveEntry entry;
    QByteArray data; // compressed; none for a live run
    qint64 dataSize = 0;
    QString runKey; // a live run's key
    // As stored: a record whose cells are those of the data file has none of its own.
    QList<ReadingRows::Row> rows;
};
class QSqlQuery;

// The measurement archive: every download, data file and live run the program saw, kept in
// one SQL database (an SQLite file, or a PostgreSQL server for a team) and found again by
// customer, site, date and mode.
//
//     Archive archive;
//     QString error;
//     if (!archive.open(Archive::defaultLocation(), &error)) ...report error...
//     auto added = archive.addDataFile(bytes, {"port", "/dev/ttyUSB0", {}}, &error);
//     for (const ArchiveEntry &e : archive.list({}, 0, 50, &error)) ...
//     QByteArray again = *archive.dataFile(e.id, &error); // byte for byte as archived
//
// Every call that can fail returns false or nullopt and puts one sentence naming the archive
// and the reason in *error. Every change is one transaction: a download is in the archive
// whole or not at all, whatever happens to the program. Two programs may share one archive:
// a writer waits for the other's transaction to end (up to kBusyTimeoutMs).
// An Archive lives on the thread that opened it.
class Archive {
public:
    static constexpr int kBusyTimeoutMs = 5000;
    // The program's own setting naming the archive (QSettings, user scope).
    static constexpr const char *kSettingsKey = "archive/location";
    static constexpr const char *kOrganisation = "NRV508";
    static constexpr const char *kApplication = "nrv508";

    Archive();
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    // Where the archive is when none is named: NRV508_ARCHIVE, else the setting, else
    // "NRV508/nrv508/archive.sqlite" in the user's data directory (~/.local/share).
    static QString defaultLocation();

    // Opens the archive at location (a file path or a postgresql:// URL), creating it and
    // bringing its tables up to date. A file that is not a sound archive is renamed aside
    // (setAsidePath() names where) and a fresh archive started. An archive written by a newer
    // program is refused and left as it is.
    bool open(const QString &location, QString *error);
    void close();
    bool isOpen() const { return !m_connection.isEmpty(); }
    QString location() const { return m_location; }
    QString setAsidePath() const { return m_setAside; }
    const SqlDialect &dialect() const { return m_dialect; }
    // For long imports: commits survive the program being killed, but not a power cut.
    bool setBulk(bool bulk, QString *error);

    struct Added {
        qint64 id = 0;
        bool existed = false;    // the same bytes were archived before: nothing was added
        bool relabelled = false; // existed, and its labels were brought up to date (adoptAll)
    };
    // Archives a data file's bytes (as the writer made them or as read from a file) with its
    // readings. Bytes that the reader refuses are refused here too.
    std::optional<Added> addDataFile(const QByteArray &bytes, const ArchiveSource &source,
                                     QString *error);
    // The same for bytes already read by ReadingRows::fromDataFile: a failure here is always
    // the archive's, never the file's.
    std::optional<Added> addDownload(const QByteArray &bytes, const ReadingRows::Download &download,
                                     const ArchiveSource &source, QString *error);

    // A live run: one entry that grows by one committed reading at a time.
    std::optional<qint64> beginLiveRun(const ArchiveSource &source, QString *error);
    bool appendReading(qint64 run, const ReadingRows::Row &reading, QString *error);
    bool endLiveRun(qint64 run, QString *error);

    // Newest first.
    std::optional<QList<ArchiveEntry>> list(const ArchiveFilter &filter, int offset, int limit,
                                            QString *error);
    std::optional<int> count(const ArchiveFilter &filter, QString *error);
    std::optional<ArchiveEntry> entry(qint64 id, QString *error);
    // The data file byte for byte as archived; a live run has none.
    std::optional<QByteArray> dataFile(qint64 id, QString *error);
    // The table header of the entry's readings and the readings in row order.
    bool readings(qint64 id, QStringList *header, QList<ReadingRows::Row> *rows, QString *error);

    // One quantity (ReadingRows::Quantity) of every reading of the entries under the filter
    // that holds a measurement of it, oldest download first, rows in order.
    std::optional<QList<ArchivedValue>> values(const ArchiveFilter &filter, int quantity,
                                               QString *error);

    // New labels also forget that the download was pushed, so the next push takes them along.
    bool label(qint64 id, const ArchiveLabels &labels, QString *error);
    bool remove(qint64 id, QString *error);

    // A download as stored, for a copy into another archive (a push to the team archive).
    std::optional<StoredDownload> stored(qint64 id, QString *error);
    // Adds a download stored elsewhere with its labels and times, unless one with the same
    // key (its data file's SHA-256, a live run's key) is there already: then nothing changes
    // and existed is set. Safe against another writer adding the same download at once.
    std::optional<Added> adopt(const StoredDownload &download, QString *error);
    // The same for many in one transaction: all of them or, on failure, none. relabelOwn: a
    // download already there that the connected user archived takes the labels given here (a
    // push after the labels changed); anyone else's keeps its own.
    bool adoptAll(const QList<StoredDownload> &downloads, QList<Added> *added, QString *error,
                  bool relabelOwn = false);
    // Up to limit downloads, oldest first, not yet pushed to the team archive team, and the
    // record that one was (team names the team archive: TeamSync::teamKey).
    std::optional<QList<qint64>> unpushed(const QString &team, int limit, QString *error);
    bool markPushed(const QList<qint64> &ids, const QString &team, QString *error);
    bool keyOldLiveRuns(QString *error);

private:
    bool connect(QString *error);
    bool openSqliteFile(QString *error);
    bool setAside(QString *error);
    bool prepare(QString *error, bool *corrupt);
    bool migrate(QString *error, bool *corrupt);
    std::optional<int> schemaVersion(QString *error, bool *corrupt);
    struct Inserts;
    std::optional<Added> insertStored(const StoredDownload &download, Inserts &inserts,
                                      bool relabelOwn, QString *error);
    std::optional<bool> takeOwnLabels(qint64 id, const ArchiveEntry &labels, Inserts &inserts,
                                      QString *error);
    std::optional<qint64> idOfKey(const StoredDownload &download, QString *error);
    bool loadRows(qint64 id, QList<ReadingRows::Row> *rows, QString *error,
                  const ReadingRows::Download *file = nullptr);
    bool insertRows(qint64 id, const QList<ReadingRows::Row> &rows, Inserts &inserts,
                    QString *error);
    bool run(const QString &statement, QString *error, bool *corrupt = nullptr);
    bool begin(QString *error);
    bool commit(QString *error);
    void rollback();
    bool exec(QSqlQuery &query, QString *error, bool *corrupt = nullptr);
    bool changedOne(const QSqlQuery &query, qint64 id, QString *error) const;
    QString failure(const QString &what, const class QSqlError &error) const;
    QString shownLocation() const;
    QSqlDatabase database() const;
    QString whereClause(const ArchiveFilter &filter, QVariantList *values) const;
    std::optional<ArchiveEntry> requireEntry(qint64 id, QString *error);

    SqlDialect m_dialect;
    QString m_location;
    QString m_connection;
    QString m_setAside;
};
