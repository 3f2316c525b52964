#include "files/DataFile.h"

#include "files/BoundedRead.h"
#include "files/SafeWrite.h"

#include "app/PrintableText.h"
#include "app/ScreenModel.h"
#include "protocol/Numbers.h"
#include "tables/Modes.h"

#include <algorithm>

namespace DataFile {

namespace {
// No data file comes near this; reading stops at it.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

Grid &tableOf(ScreenModel &m, Family family)
{
    switch (family) {
    case Family::SingleLogger:
        return m.MSFlexGrid3;
    case Family::Tightness:
        return m.MSFlexGrid2;
    default:
        return m.MSFlexGrid1;
    }
}

QList<Element *> leadingPanels(ScreenModel &m, Family family)
{
    if (family == Family::SingleLogger)
        return {&m.txtSLMeasure, &m.txtSLDate, &m.txtSLTime, &m.txtSLSample, &m.txtSLUnit};
    if (family == Family::Tightness) return {&m.txtSLMeasure};
    return {};
}

void appendLine(QByteArray &out, const QString &value)
{
    out += '"';
    out += value.toLatin1();
    out += "\"\r\n";
}

// One value per line: the text between the first two quotes; a line without them (edited
// by hand) gives its text, after a lone opening quote if it has one.
QString valueOf(const char *line, qsizetype length)
{
    const char *end = line + length;
    if (length > 0 && end[-1] == '\r') --end;
    const char *q1 = std::find(line, end, '"');
    if (q1 == end) return QString::fromLatin1(line, end - line);
    const char *q2 = std::find(q1 + 1, end, '"');
    return QString::fromLatin1(q1 + 1, q2 - q1 - 1);
}

QString describe(const QString &name)
{
    return QStringLiteral("\"%1\"").arg(printableText(name));
}
} // namespace

Layout layoutOf(int mode)
{
    switch (familyOf(mode)) {
    case Family::Store:
        return {0, 15, 51, 1};
    case Family::Logger:
        return {0, 15, 101, 2};
    case Family::SingleLogger:
        return {5, 3, 31, 1};
    case Family::Tightness:
        return {1, 6, 51, 1};
    default:
        return {0, 0, 0, 0};
    }
}

QByteArray serialize(ScreenModel &m)
{
    const int mode = m.CurrentMode;
    const Family family = familyOf(mode);
    const Layout layout = layoutOf(mode);
    QByteArray out;
    out.reserve(layout.totalLines() * 12 + 16);
    appendLine(out, QString::number(mode));
    for (Element *panel : leadingPanels(m, family))
        appendLine(out, panel->caption);
    if (layout.width > 0) {
        Grid &table = tableOf(m, family);
        for (int r = 0; r < layout.height; ++r)
            for (int c = 0; c < layout.width; ++c)
                appendLine(out, table.text(r, c));
        table.currentRow = layout.height - 1;
        table.currentColumn = layout.width - 1;
    }
    appendLine(out, m.txtVersion.caption);
    if (family == Family::Logger) appendLine(out, m.txtSSample.caption);
    return out;
}

bool write(ScreenModel &model, const QString &path, QString *error)
{
    return writeWholeFile(path, serialize(model), error);
}

bool parse(const QByteArray &bytes, const QString &name, Contents *contents, QString *error)
{
    if (bytes.isEmpty()) {
        *error = QStringLiteral("Cannot open %1: the file is empty.").arg(describe(name));
        return false;
    }
    Contents result;
    qsizetype pos = 0;
    bool haveMode = false;
    qsizetype wanted = 1; // values worth reading; grows once the mode is known
    while (pos < bytes.size() && result.values.size() + (haveMode ? 1 : 0) < wanted) {
        qsizetype lf = bytes.indexOf('\n', pos);
        if (lf < 0) lf = bytes.size();
        const QString value = valueOf(bytes.constData() + pos, lf - pos);
        pos = lf + 1;
        if (haveMode) {
            result.values << value;
            continue;
        }
        const std::optional<int> mode = parseWholeNumber(value.trimmed());
        if (!mode) {
            *error = QStringLiteral("Cannot open %1: it is not a data file (its first value "
                                    "\"%2\" is not a mode number).")
                         .arg(describe(name), printableText(value, 40));
            return false;
        }
        result.mode = *mode;
        haveMode = true;
        const Layout layout = layoutOf(*mode);
        // Values read past the trailer row are dropped by the reader, so none beyond it count.
        wanted = 1 + layout.leadingPanels + qsizetype(layout.width) * (layout.height + 1);
    }
    if (result.values.size() < layoutOf(result.mode).leadingPanels) {
        *error = QStringLiteral("Cannot open %1: the file ends before its panel lines.")
                     .arg(describe(name));
        return false;
    }
    *contents = result;
    return true;
}

bool load(const QString &path, Contents *contents, QString *error)
{
    QByteArray bytes;
    if (!readBounded(path, kMaxFileSize, &bytes, error)) return false;
    return parse(bytes, path, contents, error);
}

bool loadSaved(const QString &path, Contents *contents, QString *error)
{
    if (!load(path, contents, error)) return false;
    const Family family = familyOf(contents->mode);
    if (family != Family::None && family != Family::Real) return true;
    *error = QStringLiteral("Cannot open %1: it is not a data file of a saveable mode (its mode "
                            "number %2 is not 1 to 11).")
                 .arg(describe(path))
                 .arg(contents->mode);
    return false;
}

namespace {
void setVisible(std::initializer_list<Element *> elements, bool visible)
{
    for (Element *e : elements)
        e->visible = visible;
}

// Lays the window out for the file's family and clears the family's table.
void prepare(ScreenModel &m, Family family)
{
    const bool records = family == Family::Store || family == Family::Logger;
    const bool logger = family == Family::Logger;
    m.FrameReal.visible = false;
    m.FrameStore.visible = records;
    m.FrameSL.visible = !records;
    if (records) {
        m.MSFlexGrid1.setRowCount(logger ? 101 : 51);
        // The scroll bar follows the row count, so every record of the file can be browsed.
        m.HScroll1Max = logger ? 99 : 49;
        m.FrameStore.caption =
            logger ? QStringLiteral("Logger Mode Data") : QStringLiteral("Store Mode Data");
        if (logger) m.cmdChart.enabled = true;
        setVisible({&m.txtLFuel, &m.Label25, &m.txtSSample}, logger);
        m.MSFlexGrid1.clear();
        return;
    }
    const bool single = family == Family::SingleLogger;
    m.FrameSL.caption =
        single ? QStringLiteral("Single Logger Mode Data") : QStringLiteral("Tightness Mode Data");
    m.MSFlexGrid3.setVisible(single);
    m.MSFlexGrid2.setVisible(!single);
    m.cmdChart.enabled = single;
    setVisible({&m.Label26, &m.Label27, &m.Label28, &m.Label37, &m.txtSLDate, &m.txtSLTime,
                &m.txtSLSample, &m.txtSLUnit},
               single);
    if (!single) m.MSFlexGrid2.setColumnCount(6); // the file fills the six tightness columns only
    (single ? m.MSFlexGrid3 : m.MSFlexGrid2).clear();
}

// The browse panels and unit labels show the first reading of a Store or Logger file.
void restorePanels(ScreenModel &m, bool logger)
{
    const Grid &t = m.MSFlexGrid1;
    Element *panels[] = {
        &m.txtSAdd2,    &m.txtSTime, &m.txtSDate,  logger ? &m.txtLFuel : &m.txtSFuel,
        &m.txtSCo,      &m.txtSO2,   &m.txtSCo2,   &m.txtSRatio,
        &m.txtSXair,    &m.txtSEff,  &m.txtSTemp1, &m.txtSTemp2,
        &m.txtSPressure};
    for (int c = 0; c < 13; ++c)
        panels[c]->caption = t.text(1, c);
    m.labST1Unit.caption = t.text(1, 13);
    m.labST2Unit.caption = t.text(1, 13);
    m.labSPUnit.caption = t.text(1, 14);
}
} // namespace

void apply(const Contents &contents, ScreenModel &m)
{
    m.CurrentMode = static_cast<qint16>(contents.mode);
    const Family family = familyOf(contents.mode);
    if (family == Family::None || family == Family::Real) {
        m.notify();
        return;
    }
    prepare(m, family);
    const Layout layout = layoutOf(contents.mode);
    const QList<Element *> panels = leadingPanels(m, family);
    int i = 0;
    for (; i < panels.size() && i < contents.values.size(); ++i)
        panels[i]->caption = contents.values[i];

    Grid &table = tableOf(m, family);
    int c = 0, r = 0, t = 0;
    for (; i < contents.values.size(); ++i) {
        const QString &v = contents.values[i];
        if (c >= layout.width) {
            c = 0;
            ++r;
        }
        if (r < layout.height) {
            table.setText(r, c, v);
        } else if (r == layout.height) {
            if (family == Family::Logger && t == 1)
                m.txtSSample.caption = v;
            else
                m.txtVersion.caption = v;
            if (family == Family::Logger) t = 1 - t;
        }
        ++c;
    }
    if (family == Family::Store || family == Family::Logger)
        restorePanels(m, family == Family::Logger);
    m.notify();
}

} // namespace DataFile
