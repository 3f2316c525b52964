#include "archive/ReadingRows.h"

#include "app/ScreenModel.h"
#include "charts/ChartNumbers.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

namespace ReadingRows {

namespace {
constexpr QChar kSeparator(0x1f);

// The table column each quantity is read from, per family; -1 where the family has none.
std::array<int, kCount> columnsOf(Family family)
{
    switch (family) {
    case Family::Store:
    case Family::Logger:
        return {4, 5, 6, 7, 8, 9, 10, 11, 12, -1, -1};
    case Family::SingleLogger:
        return {-1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 2};
    case Family::Tightness:
        return {-1, -1, -1, -1, -1, -1, -1, -1, -1, 3, 4};
    default:
        return {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    }
}

void typeValues(Row &row, const std::array<int, kCount> &columns)
{
    for (int q = 0; q < kCount; ++q) {
        const int c = columns[q];
        if (c >= 0 && c < row.cells.size()) row.values[q] = ChartNumbers::cellValue(row.cells[c]);
    }
}

bool holdsAnything(const QStringList &cells)
{
    for (const QString &cell : cells)
        if (!cell.isEmpty()) return true;
    return false;
}
} // namespace

const char *columnName(int quantity)
{
    static const char *const names[kCount] = {"co",       "o2",     "co2",   "ratio",
                                              "xair",     "eff",    "temp1", "temp2",
                                              "pressure", "value1", "value2"};
    return quantity >= 0 && quantity < kCount ? names[quantity] : "";
}

bool fromDataFile(const QByteArray &bytes, const QString &name, Download *download, QString *error)
{
    DataFile::Contents contents;
    if (!DataFile::parse(bytes, name, &contents, error)) return false;
    const Family family = familyOf(contents.mode);
    if (family == Family::None || family == Family::Real) {
        *error = QStringLiteral("Cannot archive \"%1\": it is not a data file of a saveable mode "
                                "(its mode number %2 is not 1 to 11).")
                     .arg(name)
                     .arg(contents.mode);
        return false;
    }
    const DataFile::Layout layout = DataFile::layoutOf(contents.mode);
    const QStringList &v = contents.values;
    auto value = [&v](qsizetype i) { return i < v.size() ? v[i] : QString(); };

    Download result;
    result.mode = contents.mode;
    const qsizetype tableAt = layout.leadingPanels;
    const qsizetype trailerAt = tableAt + qsizetype(layout.width) * layout.height;
    result.version = value(trailerAt);
    if (family == Family::Logger) result.sampling = value(trailerAt + 1);
    const std::array<int, kCount> columns = columnsOf(family);
    for (int r = 0; r < layout.height; ++r) {
        QStringList cells;
        for (int c = 0; c < layout.width; ++c)
            cells << value(tableAt + qsizetype(r) * layout.width + c);
        if (r == 0) {
            result.header = cells;
            continue;
        }
        if (!holdsAnything(cells)) continue;
        Row row;
        row.row = r;
        row.cells = cells;
        typeValues(row, columns);
        result.rows << row;
    }
    *download = result;
    return true;
}

QStringList realHeader()
{
    return {"Date",  "Time",  "CO",    "O2",   "CO2",     "Ratio",   "XAir",  "Eff.",
            "Temp1", "Temp2", "Press", "Fuel", "T1_Unit", "T2_Unit", "P_Unit"};
}

Row fromRealPanels(const ScreenModel &m, int number, const QDateTime &arrived)
{
    Row row;
    row.row = number;
    row.arrived = arrived;
    row.cells = {m.txtRDate.caption,   m.txtRTime.caption,     m.txtRCo.caption,
                 m.txtRO2.caption,     m.txtRCo2.caption,      m.txtRRatio.caption,
                 m.txtRXair.caption,   m.txtREff.caption,      m.txtRTemp1.caption,
                 m.txtRTemp2.caption,  m.txtRPressure.caption, m.txtRFuel.caption,
                 m.labRT1Unit.caption, m.labRT2Unit.caption,   m.labRPUnit.caption};
    typeValues(row, {2, 3, 4, 5, 6, 7, 8, 9, 10, -1, -1});
    return row;
}

QString joinCells(const QStringList &cells)
{
    return cells.join(kSeparator);
}

QStringList splitCells(const QString &text)
{
    return text.split(kSeparator);
}

} // namespace ReadingRows
