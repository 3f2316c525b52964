#pragma once

#include "tables/Modes.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class ScreenModel;

// What a cell of a reading holds once exported: nothing (a no-measurement text), a number,
// or some other text that is passed on as it stands.
struct ExportCell {
    enum Kind { Empty, Number, Text };
    Kind kind = Empty;
    double number = 0;
    QString text; // the cell's text, blanks around a number removed

    static ExportCell of(const QString &cellText);
};

// One column of an export: the table's header, the JSON key and the unit of its values.
struct ExportColumn {
    QString header; // as the table shows it: "CO", "Temp1", "Add"
    QString key;    // JSON key: the header, or "address" for "Add"
    QString unit;   // "ppm", "'C"; "" when the column has none or it is not known
    // The name a spreadsheet shows: header and unit, "CO [ppm]".
    QString name() const;
};

// One download as the exports see it: the details of the page and one row per record slot
// that holds a record. Built from the screen (what the main window shows) or from a data file,
// so the window and the command line export the same bytes.
struct ExportTable {
    int mode = 0;
    Family family = Family::None;
    std::optional<int> page;
    QString title;       // "Logger Mode Data #0"
    QString version;     // instrument version
    QString sampling;    // logger or single-logger sampling interval
    QString fuel;        // fuel of a Store/Logger reading's first record or the live reading
    QString measurement; // single-logger or tightness measurement title
    QString startDate;   // single-logger start date and time
    QString startTime;
    QDateTime received; // when the download arrived, if known
    QString customer, site, note, source;

    QList<ExportColumn> columns;
    QList<int> recordSlots;  // table row of each record (1 = the first slot)
    QList<QStringList> rows; // cell texts, one per column
    int slotCount = 0;       // record slots of the page (100 for a Logger page)

    // ISO 8601 with the offset from UTC, "" when not known.
    QString receivedText() const;
    bool isEmpty() const { return rows.isEmpty(); }
    // Index of the column with this header, or -1.
    int columnOf(const QString &header) const;

    // Several downloads as one table: each row starts with its download's source, received,
    // mode, customer and site; the columns are those of all downloads in the order they first
    // appear (by name, so a unit of its own makes a column of its own).
    static ExportTable combined(const QList<ExportTable> &tables);

    // The download on screen: the current mode's table, panels and unit labels.
    static ExportTable fromScreen(const ScreenModel &model);
    // A data file read as "Open OK" reads it; false with the reason naming the file.
    static bool fromDataFile(const QString &path, ExportTable *table, QString *error);
    // A live run's readings as archived (cells under header, one list per reading), each row
    // led by a Timestamp column: ISO 8601 with the offset, one per reading.
    static ExportTable fromLiveRun(const QStringList &header, const QList<QStringList> &cells,
                                   const QStringList &timestamps);
    // Data-file bytes already in memory (an archived download); name is used in the reason.
    static bool fromDataFileBytes(const QByteArray &bytes, const QString &name, ExportTable *table,
                                  QString *error);
};
