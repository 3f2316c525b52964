#pragma once

#include "archive/ArchiveEntry.h"
#include "trend/LiveReading.h"

#include <QList>
#include <QStringList>

class Archive;
class TrendSeries;

// A finished (or still running) live run as the archive kept it, reading by reading: the
// cells as they were shown and each reading as the trend takes it.
struct ArchivedRun {
    ArchiveEntry entry;
    QStringList header;       // the archive's column names of a live reading
    QList<QStringList> cells; // each reading's cells as shown, in the order shown
    QList<LiveReading> readings;

    // Reads the live run `id`. A reading's time is the instrument's date and time it showed;
    // where none can be read it is the time the reading arrived. A reading archived without
    // its arrival time takes the time of the reading before it (the run's start for the
    // first), so the readings stay in the order they were shown.
    static bool load(Archive &archive, qint64 id, ArchivedRun *run, QString *error);

    void fillSeries(TrendSeries &series) const;
};
