#pragma once

#include "export/Exporter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Archive;
struct ExportTable;

// Archived downloads and live runs through the same exports as the main window's: a download
// is read from its archived data-file bytes, a live run from its readings with a Timestamp
// column, and both carry the archive's customer, site, note, source and time of arrival.
namespace ArchiveExport {

// Told after each download is read; answering false stops the work (nothing more written).
using Progress = std::function<bool(int done, int total)>;

bool table(Archive &archive, qint64 id, ExportTable *table, QString *error);
bool tables(Archive &archive, const QList<qint64> &ids, QList<ExportTable> *tables, QString *error,
            const Progress &progress = {});

// "12_Logger_Mode_Data_0.csv": the archive's number keeps the names of one folder apart.
QString fileName(qint64 id, const ExportTable &table, ExportFormat format);

// One file per download into folder. Each file is whole or not there; the first failure
// stops the run with the reason naming the download, and the files written before it stay
// (their names are in *written). False with an empty error when stopped by progress.
bool writeEach(Archive &archive, const QList<qint64> &ids, const QString &folder,
               const ExportSettings &settings, QStringList *written, QString *error,
               const Progress &progress = {});
// Every download in one file (CSV, JSON or XLSX), written all or nothing.
bool writeAll(Archive &archive, const QList<qint64> &ids, const QString &path,
              const ExportSettings &settings, QString *error, const Progress &progress = {});

} // namespace ArchiveExport
