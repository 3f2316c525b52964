#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct ExportTable;

// An Excel workbook: a "Readings" sheet with a bold, frozen header row of column names with
// units, typed numeric cells and columns wide enough for their texts; a "Details" sheet with
// the download's details; and for a Logger page a line chart of CO, O2 and the temperatures
// drawn from the sheet's own cells, so the spreadsheet can edit it.
namespace XlsxExport {

// The workbook's bytes; empty with the reason in *error when the library fails.
QByteArray workbook(const ExportTable &table, QString *error);
// Several downloads: their readings in one sheet, one line of details each.
QByteArray workbook(const QList<ExportTable> &tables, QString *error);

} // namespace XlsxExport
