#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class ScreenModel;

// A download as the archive keeps its readings: one row per record that holds anything, its
// cells as received and its quantities as numbers (nullopt where a cell holds no measurement).
namespace ReadingRows {

// The typed columns of a reading, named as in the archive's readings table. A single logger
// page keeps its two values in Value1 and Value2, a tightness test its start and stop pressure.
enum Quantity { CO, O2, CO2, Ratio, XAir, Eff, Temp1, Temp2, Pressure, Value1, Value2, kCount };
const char *columnName(int quantity);

struct Row {
    int row = 0; // the table row (1 for the first record); the reading's number in a live run
    QStringList cells;
    std::array<std::optional<double>, kCount> values;
    // A live reading: when it arrived, which stands in for a time the instrument did not show.
    // Invalid for a record of a data file, and for live readings archived before arrival
    // times were kept.
    QDateTime arrived;
};

struct Download {
    int mode = 0;
    QString version;
    QString sampling; // a logger page's sampling interval, else empty
    QStringList header;
    QList<Row> rows;
};

// Reads data-file bytes as "Open OK" would; refuses, with a reason naming the file, what the
// reader refuses and a mode that no save writes (0 or beyond 11).
bool fromDataFile(const QByteArray &bytes, const QString &name, Download *download, QString *error);

// A live reading: the Real Mode panels as they are shown when it arrived.
Row fromRealPanels(const ScreenModel &model, int number, const QDateTime &arrived = {});
QStringList realHeader();

// Cells travel in one text column, separated by a character no instrument sends.
QString joinCells(const QStringList &cells);
QStringList splitCells(const QString &text);

} // namespace ReadingRows
