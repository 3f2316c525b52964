#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// One archived download or live run, as listed.
struct ArchiveEntry {
    qint64 id = 0;
    QDateTime received; // when the data arrived (for a file: when it was last written)
    QDateTime archived; // when it entered the archive
    QDateTime ended;    // a live run: when it stopped; invalid while it runs or for a download
    int mode = 0;
    int records = 0; // records that hold anything; a live run's readings
    QString version;
    QString sampling;
    QString origin; // "port", "file" or "live"
    QString source; // the device or the file it came from
    QString sha256; // of the data file; empty for a live run
    QString customer;
    QString site;
    QString note;
    QString archivedBy; // the team member's role on a team archive; empty in a local one

    bool live() const { return origin == QLatin1String("live"); }
};

// Which entries a list shows; every part left empty lets everything through.
struct ArchiveFilter {
    QString text; // found in customer, site or note, letter case aside
    QDate since;  // received on or after this local day
    QDate until;  // received on or before this local day
    std::optional<int> mode;
    QString customer; // exactly this customer
};

// One number of an archived reading, for a series over many downloads.
struct ArchivedValue {
    qint64 id = 0; // the download
    QDateTime received;
    int row = 0;
    double value = 0;
};

// Where an archived download came from.
struct ArchiveSource {
    QString origin;     // "port", "file" or "live"
    QString name;       // the device or the file
    QDateTime received; // invalid: now
};

// The user's own fields; a field left empty (nullopt) keeps its text.
struct ArchiveLabels {
    std::optional<QString> customer;
    std::optional<QString> site;
    std::optional<QString> note;
};
