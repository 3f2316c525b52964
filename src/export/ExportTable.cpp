#include "export/ExportTable.h"

#include "app/ScreenModel.h"
#include "charts/ChartNumbers.h"
#include "files/DataFile.h"

#include <QFileInfo>
#include <algorithm>

namespace {
const QStringList kRecordHeaders = {"Add",   "Time",  "Date",  "Fuel",   "CO",
                                    "O2",    "CO2",   "Ratio", "XAir",   "Eff.",
                                    "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"};
const QStringList kSingleHeaders = {"Add", "Value1", "Value2"};
const QStringList kTightnessHeaders = {"Add", "Date", "Time", "P1_Start", "P2_Stop", "Unit"};

enum RecordColumn { RecFuel = 3, RecCo = 4, RecTemp1 = 10, RecTemp2 = 11, RecPress = 12 };
enum UnitColumn { RecTUnit = 13, RecPUnit = 14, TightUnit = 5 };

// Columns named by the table's own header row; a blank header keeps the name the mode switch
// writes, so every column has a name a spreadsheet and a JSON reader can use.
void addColumns(ExportTable &t, const Grid &grid, const QStringList &defaults)
{
    for (int c = 0; c < defaults.size(); ++c) {
        QString header = grid.text(0, c);
        if (header.trimmed().isEmpty()) header = defaults[c];
        ExportColumn column;
        column.header = header;
        column.key = c == 0 ? QStringLiteral("address") : header;
        t.columns << column;
    }
}

// A slot holds a record when any of its cells holds text.
void addRecords(ExportTable &t, const Grid &grid, int dataRows)
{
    const int width = static_cast<int>(t.columns.size());
    t.slotCount = dataRows;
    for (int r = 1; r <= dataRows; ++r) {
        QStringList cells;
        bool any = false;
        for (int c = 0; c < width; ++c) {
            cells << grid.text(r, c);
            any = any || !cells.last().isEmpty();
        }
        if (!any) continue;
        t.recordSlots << r;
        t.rows << cells;
    }
}

// The unit every record that names one agrees on. A column naming several units stays in
// the export (mixed stays true); otherwise it is folded into the headers.
QString commonUnit(const ExportTable &t, int column, const QString &fallback, bool *mixed)
{
    QString unit;
    *mixed = false;
    for (const QStringList &row : t.rows) {
        const QString &text = row[column];
        if (text.isEmpty() || text == unit) continue;
        if (!unit.isEmpty()) *mixed = true;
        unit = text;
    }
    if (*mixed) return QString();
    return unit.isEmpty() ? fallback : unit;
}

void dropColumn(ExportTable &t, int column)
{
    t.columns.removeAt(column);
    for (QStringList &row : t.rows)
        row.removeAt(column);
}

void setUnits(ExportTable &t, const QList<int> &columns, const QString &unit)
{
    for (int c : columns)
        t.columns[c].unit = unit;
}

void fromRecordTable(const ScreenModel &m, ExportTable &t)
{
    const bool logger = t.family == Family::Logger;
    addColumns(t, m.MSFlexGrid1, kRecordHeaders);
    addRecords(t, m.MSFlexGrid1, logger ? 100 : 50);
    setUnits(t, {RecCo}, QStringLiteral("ppm"));
    setUnits(t, {5, 6, 8, 9}, QStringLiteral("%"));
    bool mixedT = false, mixedP = false;
    // A logger page carries its temperature unit in the labels only.
    setUnits(t, {RecTemp1, RecTemp2},
             commonUnit(t, RecTUnit, logger ? m.labST1Unit.caption : QString(), &mixedT));
    setUnits(t, {RecPress}, commonUnit(t, RecPUnit, m.labSPUnit.caption, &mixedP));
    if (!mixedP) dropColumn(t, RecPUnit);
    if (!mixedT) dropColumn(t, RecTUnit);
    if (logger) {
        t.sampling = m.txtSSample.caption;
        t.fuel = m.txtLFuel.caption.isEmpty() ? m.MSFlexGrid1.text(1, RecFuel) : m.txtLFuel.caption;
    }
}

void fromSingleLogger(const ScreenModel &m, ExportTable &t)
{
    addColumns(t, m.MSFlexGrid3, kSingleHeaders);
    addRecords(t, m.MSFlexGrid3, 30);
    setUnits(t, {1, 2}, m.txtSLUnit.caption);
    t.measurement = m.txtSLMeasure.caption;
    t.startDate = m.txtSLDate.caption;
    t.startTime = m.txtSLTime.caption;
    t.sampling = m.txtSLSample.caption;
}

void fromTightness(const ScreenModel &m, ExportTable &t)
{
    addColumns(t, m.MSFlexGrid2, kTightnessHeaders);
    addRecords(t, m.MSFlexGrid2, 50);
    bool mixed = false;
    setUnits(t, {3, 4}, commonUnit(t, TightUnit, QString(), &mixed));
    if (!mixed) dropColumn(t, TightUnit);
    t.measurement = m.txtSLMeasure.caption;
}

// The live reading on screen, one record of the Real Mode panels.
void fromRealPanels(const ScreenModel &m, ExportTable &t)
{
    struct Panel {
        const char *header;
        const Element ScreenModel::*panel;
        const Element ScreenModel::*unit;
        const char *fixedUnit;
    };
    static const Panel kPanels[] = {
        {"Date", &ScreenModel::txtRDate, nullptr, ""},
        {"Time", &ScreenModel::txtRTime, nullptr, ""},
        {"CO", &ScreenModel::txtRCo, &ScreenModel::Label1, ""},
        {"O2", &ScreenModel::txtRO2, &ScreenModel::Label33, ""},
        {"CO2", &ScreenModel::txtRCo2, &ScreenModel::Label34, ""},
        {"Ratio", &ScreenModel::txtRRatio, nullptr, ""},
        {"XAir", &ScreenModel::txtRXair, &ScreenModel::Label35, ""},
        {"Eff.", &ScreenModel::txtREff, &ScreenModel::Label36, ""},
        {"Temp1", &ScreenModel::txtRTemp1, &ScreenModel::labRT1Unit, ""},
        {"Temp2", &ScreenModel::txtRTemp2, &ScreenModel::labRT2Unit, ""},
        {"Pressure", &ScreenModel::txtRPressure, &ScreenModel::labRPUnit, ""},
        {"Fuel", &ScreenModel::txtRFuel, nullptr, ""},
    };
    QStringList cells;
    bool any = false;
    for (const Panel &p : kPanels) {
        ExportColumn column;
        column.header = column.key = QString::fromLatin1(p.header);
        if (p.unit) column.unit = (m.*p.unit).caption;
        t.columns << column;
        cells << (m.*p.panel).caption;
        any = any || !cells.last().isEmpty();
    }
    t.slotCount = 1;
    if (any) {
        t.recordSlots << 1;
        t.rows << cells;
    }
    t.fuel = m.txtRFuel.caption;
}
} // namespace

ExportCell ExportCell::of(const QString &cellText)
{
    ExportCell cell;
    if (ChartNumbers::isGapText(cellText)) return cell;
    // The single logger's index keeps the blank the instrument puts before one digit.
    cell.text = cellText.trimmed();
    if (const std::optional<double> v = ChartNumbers::readNumber(cell.text)) {
        cell.kind = Number;
        cell.number = *v;
    } else {
        cell.kind = Text;
        cell.text = cellText;
    }
    return cell;
}

QString ExportColumn::name() const
{
    return unit.isEmpty() ? header : QStringLiteral("%1 [%2]").arg(header, unit);
}

QString ExportTable::receivedText() const
{
    if (!received.isValid()) return QString();
    return received.toOffsetFromUtc(received.offsetFromUtc()).toString(Qt::ISODate);
}

int ExportTable::columnOf(const QString &header) const
{
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].header == header) return c;
    }
    return -1;
}

ExportTable ExportTable::combined(const QList<ExportTable> &list)
{
    ExportTable all;
    QStringList names;
    for (const char *lead : {"Source", "Received", "Mode", "Customer", "Site"}) {
        ExportColumn column;
        column.header = column.key = QString::fromLatin1(lead);
        all.columns << column;
        names << column.header;
    }
    for (const ExportTable &t : list) {
        for (const ExportColumn &column : t.columns) {
            if (names.contains(column.name())) continue;
            names << column.name();
            all.columns << column;
        }
    }
    for (const ExportTable &t : list) {
        QList<int> at;
        for (const ExportColumn &column : t.columns)
            at << static_cast<int>(names.indexOf(column.name()));
        for (int r = 0; r < t.rows.size(); ++r) {
            QStringList cells(names.size());
            cells[0] = t.source;
            cells[1] = t.receivedText();
            cells[2] = t.title;
            cells[3] = t.customer;
            cells[4] = t.site;
            for (int c = 0; c < t.rows[r].size(); ++c)
                cells[at[c]] = t.rows[r][c];
            all.rows << cells;
            all.recordSlots << t.recordSlots[r];
        }
        all.slotCount += t.slotCount;
    }
    return all;
}

ExportTable ExportTable::fromLiveRun(const QStringList &header, const QList<QStringList> &cells,
                                     const QStringList &timestamps)
{
    ExportTable t;
    t.mode = Real;
    // Many readings: the exports' table of records, not the one-reading page of Real Mode.
    t.family = Family::None;
    t.title = QStringLiteral("Live Run");
    QStringList names = {QStringLiteral("Timestamp")};
    for (const QString &h : header)
        names << (h == QLatin1String("Press") ? QStringLiteral("Pressure") : h);
    for (const QString &name : names) {
        ExportColumn column;
        column.header = column.key = name;
        t.columns << column;
    }
    for (int r = 0; r < cells.size(); ++r) {
        QStringList row = QStringList{timestamps.value(r)} + cells[r];
        row.resize(names.size());
        t.rows << row;
        t.recordSlots << r + 1;
    }
    t.slotCount = int(t.rows.size());
    for (const char *name : {"CO", "O2", "CO2", "XAir", "Eff."}) {
        const int c = t.columnOf(QLatin1String(name));
        if (c >= 0) t.columns[c].unit = QLatin1String(qstrcmp(name, "CO") == 0 ? "ppm" : "%");
    }
    // A unit the whole run agrees on goes into the heading; one that changed mid-run keeps its
    // column, since a heading can name only one.
    const char *const kUnits[][2] = {
        {"Temp1", "T1_Unit"}, {"Temp2", "T2_Unit"}, {"Pressure", "P_Unit"}};
    QList<int> drop;
    for (const auto &pair : kUnits) {
        const int value = t.columnOf(QLatin1String(pair[0]));
        const int unit = t.columnOf(QLatin1String(pair[1]));
        if (value < 0 || unit < 0) continue;
        bool mixed = false;
        setUnits(t, {value}, commonUnit(t, unit, QString(), &mixed));
        if (!mixed) drop << unit;
    }
    std::sort(drop.rbegin(), drop.rend());
    for (int c : drop)
        dropColumn(t, c);
    const int fuel = t.columnOf(QStringLiteral("Fuel"));
    for (const QStringList &row : t.rows)
        if (fuel >= 0 && t.fuel.isEmpty()) t.fuel = row[fuel];
    return t;
}

ExportTable ExportTable::fromScreen(const ScreenModel &m)
{
    ExportTable t;
    t.mode = m.CurrentMode;
    t.family = familyOf(m.CurrentMode);
    const ModeInfo *info = modeInfo(m.CurrentMode);
    if (t.family == Family::Logger || t.family == Family::SingleLogger) t.page = info->page;
    t.title = t.family == Family::Real ? m.FrameReal.caption
                                       : (info ? QString::fromLatin1(info->caption) : QString());
    t.version = m.txtVersion.caption;
    switch (t.family) {
    case Family::Real:
        fromRealPanels(m, t);
        break;
    case Family::Store:
    case Family::Logger:
        fromRecordTable(m, t);
        break;
    case Family::SingleLogger:
        fromSingleLogger(m, t);
        break;
    case Family::Tightness:
        fromTightness(m, t);
        break;
    case Family::None:
        break;
    }
    return t;
}

namespace {
bool fromContents(const DataFile::Contents &contents, const QString &name, ExportTable *table,
                  QString *error)
{
    const Family family = familyOf(contents.mode);
    if (family == Family::None || family == Family::Real) {
        *error = QStringLiteral("Cannot export \"%1\": its mode number %2 is not that of a saved "
                                "download (1 to 11).")
                     .arg(name)
                     .arg(contents.mode);
        return false;
    }
    ScreenModel model;
    DataFile::apply(contents, model);
    *table = ExportTable::fromScreen(model);
    table->source = QFileInfo(name).fileName();
    return true;
}
} // namespace

bool ExportTable::fromDataFileBytes(const QByteArray &bytes, const QString &name,
                                    ExportTable *table, QString *error)
{
    DataFile::Contents contents;
    return DataFile::parse(bytes, name, &contents, error) &&
           fromContents(contents, name, table, error);
}

bool ExportTable::fromDataFile(const QString &path, ExportTable *table, QString *error)
{
    DataFile::Contents contents;
    return DataFile::load(path, &contents, error) && fromContents(contents, path, table, error);
}
