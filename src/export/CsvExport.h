#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>

class QLocale;
struct ExportTable;

// How a CSV file is written: RFC 4180 quoting and CR LF lines always, the delimiter, decimal
// mark and byte-order mark by choice.
struct CsvOptions {
    QChar delimiter = QLatin1Char(',');
    QChar decimal = QLatin1Char('.');
    bool byteOrderMark = false;

    // Where the decimal mark is a comma the fields are parted by semicolons, so the file opens
    // in a spreadsheet set up for that locale with the numbers as numbers.
    static CsvOptions forLocale(const QLocale &locale);
};

namespace CsvExport {

// A header row of column names with units, then one row per record; cells that hold no
// measurement are empty fields. UTF-8.
QByteArray table(const ExportTable &table, const CsvOptions &options);

// Several downloads in one file: each row starts with the download's own details (source,
// received, mode, customer, site) and the columns are those of all downloads, in the order
// they first appear.
QByteArray tables(const QList<ExportTable> &tables, const CsvOptions &options);

// One field, quoted where it holds the delimiter, a quote or a line end.
QByteArray field(const QString &text, QChar delimiter);

} // namespace CsvExport
