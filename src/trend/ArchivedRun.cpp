#include "trend/ArchivedRun.h"

#include "archive/Archive.h"
#include "trend/TrendSeries.h"

namespace {
// Where the shown units stand in an archived live reading (the fixed ones are the panels'
// labels, which a reading never changes).
int columnIn(const QStringList &header, const char *name)
{
    return int(header.indexOf(QLatin1String(name)));
}

LiveReading readingOf(const QStringList &header, const ReadingRows::Row &row,
                      const QDateTime &fallback)
{
    static const char *const kUnitColumns[LiveReading::kCount] = {
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "T1_Unit", "T2_Unit", "P_Unit"};
    static const char *const kFixedUnits[LiveReading::kCount] = {"ppm", "%", "%", "", "%",
                                                                 "%",   "",  "",  ""};
    LiveReading r;
    for (int q = 0; q < LiveReading::kCount; ++q) {
        // The archive's quantities start with the nine panels in the trend's order.
        r.values[q] = row.values[q];
        const int unit = kUnitColumns[q] ? columnIn(header, kUnitColumns[q]) : -1;
        r.units[q] = unit >= 0 ? row.cells.value(unit) : QString::fromLatin1(kFixedUnits[q]);
    }
    r.time = LiveReading::instrumentTime(row.cells.value(columnIn(header, "Date")),
                                         row.cells.value(columnIn(header, "Time")), fallback);
    return r;
}
} // namespace

bool ArchivedRun::load(Archive &archive, qint64 id, ArchivedRun *run, QString *error)
{
    const std::optional<ArchiveEntry> entry = archive.entry(id, error);
    if (!entry) return false;
    if (!entry->live()) {
        *error = QStringLiteral("Download %1 of the archive is not a live run.").arg(id);
        return false;
    }
    QList<ReadingRows::Row> rows;
    ArchivedRun result;
    result.entry = *entry;
    if (!archive.readings(id, &result.header, &rows, error)) return false;
    QDateTime before = entry->received;
    for (const ReadingRows::Row &row : rows) {
        result.cells << row.cells;
        // Readings archived before arrival times were kept fall back on the one before them.
        result.readings << readingOf(result.header, row,
                                     row.arrived.isValid() ? row.arrived : before);
        before = result.readings.last().time;
    }
    *run = result;
    return true;
}

void ArchivedRun::fillSeries(TrendSeries &series) const
{
    series.clear();
    for (const LiveReading &r : readings)
        series.append(r);
}
