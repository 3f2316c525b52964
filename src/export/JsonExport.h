#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct ExportTable;

// One JSON object per download: its details, the units by column and the records, numbers as
// numbers and no measurement as null. Keys keep the table's column order; docs/export.schema.json
// describes the object.
namespace JsonExport {

QByteArray table(const ExportTable &table);
// An array of the objects of several downloads.
QByteArray tables(const QList<ExportTable> &tables);

// A JSON string literal, quotes included.
QByteArray string(const QString &text);
// A JSON number for a cell read as number: the instrument's own digits where they are a JSON
// number already ("5.0", "-0.11"), else the shortest text that reads back as the same double.
QByteArray number(const QString &text, double value);

} // namespace JsonExport
