#include "export/XlsxExport.h"

#include "export/ExportTable.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

namespace {
const char kReadings[] = "Readings";
const char kDetails[] = "Details";

// Writes one workbook; formats are made once and shared by the cells that use them.
class Book {
public:
    explicit Book(const QString &path) : m_book(workbook_new(QFile::encodeName(path).constData()))
    {
        if (!m_book) return;
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
        format_set_bottom(m_bold, LXW_BORDER_THIN);
        format_set_bg_color(m_bold, 0xDDE4EE);
    }
    ~Book()
    {
        if (m_book) workbook_close(m_book);
    }
    bool ok() const { return m_book != nullptr; }
    lxw_error close()
    {
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        return result;
    }

    lxw_worksheet *sheet(const char *name) { return workbook_add_worksheet(m_book, name); }
    void readings(lxw_worksheet *ws, const ExportTable &t);
    void details(lxw_worksheet *ws, const QList<ExportTable> &list);
    void chart(lxw_worksheet *ws, const ExportTable &t);

private:
    void text(lxw_worksheet *ws, int row, int column, const QString &text, lxw_format *f)
    {
        worksheet_write_string(ws, row, column, text.toUtf8().constData(), f);
    }
    // Keeps the number of decimals the instrument sent: 5.0 shows as 5.0, not 5.
    lxw_format *numberFormat(const QString &text);
    // A live run's Timestamp as a spreadsheet date and time (the wall clock it shows, since a
    // cell holds no time zone); false for a cell that is not one.
    bool dateTime(lxw_worksheet *ws, int row, int column, const QString &text);

    lxw_workbook *m_book;
    lxw_format *m_bold = nullptr;
    lxw_format *m_dateTime = nullptr;
    QHash<int, lxw_format *> m_decimals;
};

bool Book::dateTime(lxw_worksheet *ws, int row, int column, const QString &text)
{
    const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid()) return false;
    if (!m_dateTime) {
        m_dateTime = workbook_add_format(m_book);
        format_set_num_format(m_dateTime, "yyyy-mm-dd hh:mm:ss");
    }
    const QDate d = t.date();
    const QTime h = t.time();
    lxw_datetime cell = {d.year(), d.month(), d.day(), h.hour(), h.minute(), double(h.second())};
    worksheet_write_datetime(ws, row, column, &cell, m_dateTime);
    return true;
}

lxw_format *Book::numberFormat(const QString &text)
{
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) return nullptr;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
    if (decimals == 0) return nullptr;
    if (lxw_format *f = m_decimals.value(decimals)) return f;
    lxw_format *f = workbook_add_format(m_book);
    format_set_num_format(f, ("0." + QByteArray(qMin(decimals, 15), '0')).constData());
    m_decimals.insert(decimals, f);
    return f;
}

void Book::readings(lxw_worksheet *ws, const ExportTable &t)
{
    QList<int> widths;
    for (int c = 0; c < t.columns.size(); ++c) {
        text(ws, 0, c, t.columns[c].name(), m_bold);
        widths << static_cast<int>(t.columns[c].name().size());
    }
    for (int r = 0; r < t.rows.size(); ++r) {
        const QStringList &row = t.rows[r];
        for (int c = 0; c < row.size(); ++c) {
            const ExportCell cell = ExportCell::of(row[c]);
            if (t.columns[c].header == QLatin1String("Timestamp") &&
                dateTime(ws, r + 1, c, cell.text)) {
                widths[c] = qMax(widths[c], 19);
                continue;
            }
            if (cell.kind == ExportCell::Number)
                worksheet_write_number(ws, r + 1, c, cell.number, numberFormat(cell.text));
            else if (cell.kind == ExportCell::Text)
                text(ws, r + 1, c, cell.text, nullptr);
            widths[c] = qMax(widths[c], static_cast<int>(cell.text.size()));
        }
    }
    for (int c = 0; c < widths.size(); ++c)
        worksheet_set_column(ws, c, c, qMin(widths[c], 60) + 2.5, nullptr);
    worksheet_freeze_panes(ws, 1, 0);
}

void Book::details(lxw_worksheet *ws, const QList<ExportTable> &list)
{
    const QStringList keys = {"Source",   "Mode", "Page",        "Version",    "Sampling",
                              "Received", "Fuel", "Measurement", "Start date", "Start time",
                              "Customer", "Site", "Note",        "Records"};
    // One download reads down the sheet, name beside value; several get a line each.
    const bool one = list.size() == 1;
    auto put = [&](int item, int k, const QString &value) {
        text(ws, one ? k : item + 1, one ? 1 : k, value, nullptr);
    };
    for (int k = 0; k < keys.size(); ++k)
        text(ws, one ? k : 0, one ? 0 : k, keys[k], m_bold);
    for (int i = 0; i < list.size(); ++i) {
        const ExportTable &t = list[i];
        const QStringList values = {
            t.source,    t.title,       t.page ? QString::number(*t.page) : QString(),
            t.version,   t.sampling,    t.receivedText(),
            t.fuel,      t.measurement, t.startDate,
            t.startTime, t.customer,    t.site,
            t.note};
        for (int k = 0; k < values.size(); ++k)
            put(i, k, values[k]);
        const int last = static_cast<int>(keys.size() - 1);
        worksheet_write_number(ws, one ? last : i + 1, one ? 1 : last, t.rows.size(), nullptr);
    }
    worksheet_set_column(ws, 0, static_cast<lxw_col_t>(keys.size() - 1), 18, nullptr);
    if (!one) worksheet_freeze_panes(ws, 1, 0);
}

void Book::chart(lxw_worksheet *ws, const ExportTable &t)
{
    lxw_chart *chart = workbook_add_chart(m_book, LXW_CHART_LINE);
    const int last = static_cast<int>(t.rows.size());
    for (const char *header : {"CO", "O2", "Temp1", "Temp2"}) {
        const int c = t.columnOf(QString::fromLatin1(header));
        if (c < 0) continue;
        lxw_chart_series *series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, kReadings, 1, 0, last, 0);
        chart_series_set_values(series, kReadings, 1, c, last, c);
        chart_series_set_name_range(series, kReadings, 0, c);
    }
    chart_title_set_name(chart, t.title.toUtf8().constData());
    chart_axis_set_name(chart->x_axis, "Address");
    chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    chart_show_blanks_as(chart, LXW_CHART_BLANKS_AS_GAP);
    lxw_chart_options options = {};
    options.x_scale = 2.0;
    options.y_scale = 1.6;
    worksheet_insert_chart_opt(ws, 1, static_cast<lxw_col_t>(t.columns.size() + 1), chart,
                               &options);
}

QByteArray build(const QList<ExportTable> &list, QString *error)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xlsx"));
    lxw_error result = LXW_ERROR_CREATING_XLSX_FILE;
    {
        Book book(path);
        if (book.ok()) {
            const ExportTable t = list.size() == 1 ? list.first() : ExportTable::combined(list);
            lxw_worksheet *readings = book.sheet(kReadings);
            book.readings(readings, t);
            if (list.size() == 1 && t.family == Family::Logger && !t.isEmpty())
                book.chart(readings, t);
            book.details(book.sheet(kDetails), list);
            result = book.close();
        }
    }
    QFile file(path);
    if (result != LXW_NO_ERROR || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot make the workbook: %1")
                     .arg(QString::fromUtf8(lxw_strerror(result)));
        return QByteArray();
    }
    return file.readAll();
}
} // namespace

namespace XlsxExport {

QByteArray workbook(const ExportTable &table, QString *error)
{
    return build({table}, error);
}

QByteArray workbook(const QList<ExportTable> &tables, QString *error)
{
    return build(tables, error);
}

} // namespace XlsxExport
