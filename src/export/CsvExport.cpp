#include "export/CsvExport.h"

#include "export/ExportTable.h"

#include <QLocale>

namespace {
const char kCrLf[] = "\r\n";
const char kByteOrderMark[] = "\xEF\xBB\xBF";

QString cellText(const QString &text, const CsvOptions &options)
{
    const ExportCell cell = ExportCell::of(text);
    if (cell.kind == ExportCell::Empty) return QString();
    if (cell.kind == ExportCell::Text) return cell.text;
    QString number = cell.text;
    number.replace(QLatin1Char('.'), options.decimal);
    return number;
}

void appendRow(QByteArray &out, const QStringList &fields, const CsvOptions &options)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0) out += options.delimiter.toLatin1();
        out += CsvExport::field(fields[i], options.delimiter);
    }
    out += kCrLf;
}

} // namespace

CsvOptions CsvOptions::forLocale(const QLocale &locale)
{
    CsvOptions options;
    if (locale.decimalPoint() == QLatin1String(",")) {
        options.delimiter = QLatin1Char(';');
        options.decimal = QLatin1Char(',');
    }
    return options;
}

namespace CsvExport {

QByteArray field(const QString &text, QChar delimiter)
{
    const bool quote = text.contains(delimiter) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quote) return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

QByteArray table(const ExportTable &t, const CsvOptions &options)
{
    QByteArray out;
    out.reserve(64 + static_cast<int>(t.rows.size()) * 16 * static_cast<int>(t.columns.size()));
    if (options.byteOrderMark) out += kByteOrderMark;
    QStringList names;
    for (const ExportColumn &column : t.columns)
        names << column.name();
    appendRow(out, names, options);
    QStringList fields;
    for (const QStringList &row : t.rows) {
        fields.clear();
        for (const QString &text : row)
            fields << cellText(text, options);
        appendRow(out, fields, options);
    }
    return out;
}

QByteArray tables(const QList<ExportTable> &list, const CsvOptions &options)
{
    return table(ExportTable::combined(list), options);
}

} // namespace CsvExport
