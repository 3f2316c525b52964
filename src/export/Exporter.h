#pragma once

#include "export/CsvExport.h"
#include "export/ReportHeader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct ExportTable;

enum class ExportFormat { Csv, Json, Xlsx, Pdf };

// Everything an export needs besides the downloads themselves.
struct ExportSettings {
    ExportFormat format = ExportFormat::Csv;
    CsvOptions csv;
    QString quantity;    // the report's chart: CO, O2, ... Value1, Value2
    ReportHeader header; // the report's heading
};

// Turns downloads into the bytes of an export file and writes them all or nothing.
namespace Exporter {

// "csv", "json", "xlsx" or "pdf"; nullopt for anything else.
std::optional<ExportFormat> formatNamed(const QString &name);
QString extension(ExportFormat format);

// The file's bytes: one download, or several in one file (CSV, JSON and XLSX; a report is of
// one download). False with the reason when there is nothing to export or the file cannot be
// made.
bool render(const QList<ExportTable> &tables, const ExportSettings &settings, QByteArray *bytes,
            QString *error);

// render, then the checked atomic write: the file named is the whole export or untouched.
bool write(const QString &path, const QList<ExportTable> &tables, const ExportSettings &settings,
           QString *error);

// The text shown when a download holds no readings.
QString nothingToExport();

} // namespace Exporter
