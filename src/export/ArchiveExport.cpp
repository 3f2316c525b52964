#include "export/ArchiveExport.h"

#include "archive/Archive.h"
#include "export/ExportTable.h"
#include "files/SafeWrite.h"
#include "trend/ArchivedRun.h"

#include <QDir>
#include <QFileInfo>

namespace ArchiveExport {

namespace {
bool liveRunTable(Archive &archive, qint64 id, ExportTable *table, QString *error)
{
    ArchivedRun run;
    if (!ArchivedRun::load(archive, id, &run, error)) return false;
    QStringList stamps;
    for (const LiveReading &r : run.readings)
        stamps << r.timeText();
    *table = ExportTable::fromLiveRun(run.header, run.cells, stamps);
    return true;
}

QString described(qint64 id, const QString &reason)
{
    return QStringLiteral("Cannot export download %1 of the archive: %2").arg(id).arg(reason);
}
} // namespace

bool table(Archive &archive, qint64 id, ExportTable *table, QString *error)
{
    const std::optional<ArchiveEntry> entry = archive.entry(id, error);
    if (!entry) return false;
    ExportTable t;
    if (entry->live()) {
        if (!liveRunTable(archive, id, &t, error)) return false;
    } else {
        const std::optional<QByteArray> bytes = archive.dataFile(id, error);
        if (!bytes || !ExportTable::fromDataFileBytes(*bytes, entry->source, &t, error))
            return false;
    }
    t.received = entry->received;
    t.customer = entry->customer;
    t.site = entry->site;
    t.note = entry->note;
    // A file is named as it was; a device or a live run by where it came from.
    t.source = entry->origin == QLatin1String("file") ? QFileInfo(entry->source).fileName()
                                                      : entry->source;
    *table = t;
    return true;
}

bool tables(Archive &archive, const QList<qint64> &ids, QList<ExportTable> *out, QString *error,
            const Progress &progress)
{
    out->clear();
    out->reserve(ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        ExportTable t;
        if (!table(archive, ids[i], &t, error)) return false;
        *out << t;
        if (progress && !progress(i + 1, int(ids.size()))) return error->clear(), false;
    }
    return true;
}

QString fileName(qint64 id, const ExportTable &t, ExportFormat format)
{
    QString base = t.title.isEmpty() ? QStringLiteral("download") : t.title;
    base.remove(QLatin1Char('#'));
    base = base.simplified().replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral("%1_%2.%3").arg(id).arg(base, Exporter::extension(format));
}

bool writeEach(Archive &archive, const QList<qint64> &ids, const QString &folder,
               const ExportSettings &settings, QStringList *written, QString *error,
               const Progress &progress)
{
    written->clear();
    for (int i = 0; i < ids.size(); ++i) {
        ExportTable t;
        if (!table(archive, ids[i], &t, error)) return false;
        const QString path = QDir(folder).filePath(fileName(ids[i], t, settings.format));
        QByteArray bytes;
        if (!Exporter::render({t}, settings, &bytes, error))
            return *error = described(ids[i], *error), false;
        if (!writeWholeFile(path, bytes, error)) return false;
        *written << path;
        if (progress && !progress(i + 1, int(ids.size()))) return error->clear(), false;
    }
    return true;
}

bool writeAll(Archive &archive, const QList<qint64> &ids, const QString &path,
              const ExportSettings &settings, QString *error, const Progress &progress)
{
    QList<ExportTable> list;
    if (!tables(archive, ids, &list, error, progress)) return false;
    return Exporter::write(path, list, settings, error);
}

} // namespace ArchiveExport
