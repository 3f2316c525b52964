#include "export/ReportLayout.h"

#include "export/ReportChart.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace {
const QColor kAccent(0x1F, 0x3F, 0x6E);
const QColor kRule(0xB8, 0xC4, 0xD4);
const QColor kShade(0xE8, 0xED, 0xF4);
const QColor kStripe(0xF6, 0xF8, 0xFB);
const QColor kMuted(0x5A, 0x64, 0x70);
const char kProgram[] = "NRV508 Window Program ver 2.42";

QFont font(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <typename Columns> double widthOf(const Columns &cols)
{
    double width = 0;
    for (const auto &col : cols)
        width += col.width;
    return width;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', qBound(0, decimals, 6));
}
} // namespace

// Sizes in device units: one point is u units.
struct ReportLayout::Metrics {
    double u, width, height;
    double pt(double points) const { return points * u; }
    double rowHeight() const { return pt(13); }
    double footerTop() const { return height - pt(22); }
    double shortHeading() const { return pt(42); }
};

ReportLayout::ReportLayout(ExportTable table, ReportHeader header, QString quantity,
                           QDateTime printed)
    : m_table(std::move(table)), m_header(std::move(header)), m_quantity(std::move(quantity)),
      m_printed(std::move(printed))
{
}

QPageSize ReportLayout::pageSizeFor(const QLocale &locale)
{
    static const QList<QLocale::Territory> kLetter = {
        QLocale::UnitedStates, QLocale::Canada,   QLocale::Mexico,    QLocale::Philippines,
        QLocale::Chile,        QLocale::Colombia, QLocale::Venezuela, QLocale::PuertoRico};
    return QPageSize(kLetter.contains(locale.territory()) ? QPageSize::Letter : QPageSize::A4);
}

QByteArray ReportLayout::pdf() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageSize(pageSizeFor(QLocale()));
        writer.setPageMargins(QMarginsF(15, 14, 15, 12), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("Measurement Report - ") + m_table.title);
        writer.setCreator(QString::fromLatin1(kProgram));
        paint(writer);
    }
    return buffer.data();
}

QList<ReportLayout::Column> ReportLayout::columns(QPainter &p, const Metrics &m) const
{
    QList<Column> cols;
    p.setFont(font(7.5));
    const QFontMetricsF fm = p.fontMetrics();
    for (int c = 0; c < m_table.columns.size(); ++c) {
        const ExportColumn &ec = m_table.columns[c];
        // A logger page has one fuel, shown with the details.
        if (m_table.family == Family::Logger && ec.header == QLatin1String("Fuel")) continue;
        Column col{c, ec.header, ec.unit.isEmpty() ? QString() : "[" + ec.unit + "]"};
        col.width = qMax(fm.horizontalAdvance(col.head), fm.horizontalAdvance(col.unit));
        int numbers = 0;
        for (const QStringList &row : m_table.rows) {
            col.width = qMax(col.width, fm.horizontalAdvance(row[c]));
            numbers += ExportCell::of(row[c]).kind == ExportCell::Number;
        }
        col.numeric = numbers > 0 && c > 0;
        col.width += m.pt(8);
        cols << col;
    }
    double total = 0;
    for (const Column &col : cols)
        total += col.width;
    // Widen the columns to the page, keeping their proportions, but leave a table of a few
    // narrow columns compact rather than spread thin over the page.
    const double scale = qMin(m.width / qMax(total, 1.0), 1.5);
    for (Column &col : cols)
        col.width *= scale;
    return cols;
}

double ReportLayout::paintHeading(QPainter &p, const Metrics &m, bool full) const
{
    double left = 0;
    const double band = full ? m.pt(58) : m.pt(28);
    if (full && !m_header.logoPath.isEmpty()) {
        QImageReader reader(m_header.logoPath);
        const QImage logo = reader.read();
        if (!logo.isNull()) {
            const QSizeF size = QSizeF(logo.size()).scaled(m.pt(120), band, Qt::KeepAspectRatio);
            p.drawImage(QRectF(QPointF(0, 0), size), logo);
            left = size.width() + m.pt(10);
        }
    }
    const QRectF text(left, 0, m.width * 0.6 - left, band);
    p.setPen(kAccent);
    p.setFont(font(full ? 15 : 11, true));
    const QString company = m_header.company.isEmpty() ? QString() : m_header.company;
    p.drawText(text, Qt::AlignLeft | Qt::AlignTop, company);
    if (full) {
        p.setPen(kMuted);
        p.setFont(font(9));
        QStringList lines;
        if (!m_header.address.isEmpty()) lines << m_header.address;
        if (!m_header.telephone.isEmpty()) lines << QStringLiteral("Tel. ") + m_header.telephone;
        p.drawText(text.adjusted(0, m.pt(21), 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   lines.join(QLatin1Char('\n')));
    }
    const QRectF right(m.width * 0.45, 0, m.width * 0.55, band);
    p.setPen(kAccent);
    p.setFont(font(full ? 16 : 11, true));
    p.drawText(right, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Measurement Report"));
    p.setPen(kMuted);
    p.setFont(font(9));
    p.drawText(right.adjusted(0, full ? m.pt(22) : m.pt(15), 0, 0), Qt::AlignRight | Qt::AlignTop,
               m_table.title);
    p.setPen(QPen(kAccent, m.pt(1.5)));
    p.drawLine(QPointF(0, band + m.pt(4)), QPointF(m.width, band + m.pt(4)));
    return band + m.pt(14);
}

double ReportLayout::paintDetails(QPainter &p, const Metrics &m, double y) const
{
    const ExportTable &t = m_table;
    QString when = t.startDate + QLatin1Char(' ') + t.startTime;
    if (t.family != Family::SingleLogger && !t.rows.isEmpty()) {
        const int date = t.columnOf(QStringLiteral("Date"));
        const int time = t.columnOf(QStringLiteral("Time"));
        if (date >= 0 && time >= 0) when = t.rows.first()[date] + ' ' + t.rows.first()[time];
    }
    const QList<QPair<QString, QString>> all = {
        {"Customer", t.customer},
        {"Site", t.site},
        {"Measurement", t.measurement.isEmpty() ? t.title : t.measurement},
        {"Page", t.page ? QString::number(*t.page) : QString()},
        {"Instrument version", t.version},
        {"Sampling", t.sampling},
        {"Date and time", when.trimmed()},
        {"Received",
         t.received.isValid() ? QLocale().toString(t.received, QLocale::ShortFormat) : QString()},
        {"Fuel", t.fuel},
        {"Records", t.family == Family::Real
                        ? QString()
                        : QStringLiteral("%1 of %2").arg(t.rows.size()).arg(t.slotCount)},
        {"Source", t.source},
        {"Note", t.note},
    };
    QList<QPair<QString, QString>> shown;
    for (const auto &item : all) {
        if (!item.second.trimmed().isEmpty()) shown << item;
    }
    const double colWidth = m.width / 2, line = m.pt(15);
    for (int i = 0; i < shown.size(); ++i) {
        const double x = (i % 2) * colWidth, top = y + (i / 2) * line;
        p.setPen(kMuted);
        p.setFont(font(8));
        p.drawText(QRectF(x, top, m.pt(95), line), Qt::AlignLeft | Qt::AlignVCenter,
                   shown[i].first);
        p.setPen(Qt::black);
        p.setFont(font(9.5, true));
        p.drawText(QRectF(x + m.pt(95), top, colWidth - m.pt(100), line),
                   Qt::AlignLeft | Qt::AlignVCenter, shown[i].second);
    }
    return y + ((shown.size() + 1) / 2) * line + m.pt(10);
}

double ReportLayout::sectionTitle(QPainter &p, const Metrics &m, double y,
                                  const QString &title) const
{
    p.setPen(kAccent);
    p.setFont(font(10.5, true));
    p.drawText(QRectF(0, y, m.width, m.pt(16)), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setPen(QPen(kRule, m.pt(0.6)));
    p.drawLine(QPointF(0, y + m.pt(17)), QPointF(m.width, y + m.pt(17)));
    return y + m.pt(22);
}

double ReportLayout::paintStatistics(QPainter &p, const Metrics &m, double y) const
{
    const QList<ReportStatistics> stats = ReportStatistics::of(m_table);
    y = sectionTitle(p, m, y, QStringLiteral("Summary"));
    const QStringList heads = {"Quantity", "Readings", "Minimum", "Maximum", "Mean"};
    const double first = m.width * 0.32, other = (m.width - first) / 4, h = m.pt(13);
    auto cell = [&](int c, double top, const QString &text) {
        const double x = c == 0 ? 0 : first + (c - 1) * other;
        const QRectF r(x + m.pt(4), top, (c == 0 ? first : other) - m.pt(8), h);
        p.drawText(r, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
    };
    p.fillRect(QRectF(0, y, m.width, h), kShade);
    p.setPen(kAccent);
    p.setFont(font(8, true));
    for (int c = 0; c < heads.size(); ++c)
        cell(c, y, heads[c]);
    y += h;
    p.setFont(font(8.5));
    for (int i = 0; i < stats.size(); ++i) {
        const ReportStatistics &s = stats[i];
        if (i % 2) p.fillRect(QRectF(0, y, m.width, h), kStripe);
        p.setPen(Qt::black);
        cell(0, y, s.name);
        cell(1, y, QString::number(s.count));
        cell(2, y, s.count ? fixed(s.minimum, s.decimals) : QStringLiteral("-"));
        cell(3, y, s.count ? fixed(s.maximum, s.decimals) : QStringLiteral("-"));
        cell(4, y, s.count ? fixed(s.mean, s.decimals + 1) : QStringLiteral("-"));
        y += h;
    }
    return y + m.pt(12);
}

double ReportLayout::paintChart(QPainter &p, const Metrics &m, double y) const
{
    const ReportChart chart(m_table, m_quantity);
    if (chart.isEmpty()) return y;
    y = sectionTitle(p, m, y, QStringLiteral("Chart: ") + chart.title());
    p.setFont(font(7.5));
    chart.paint(p, QRectF(0, y, m.width, m.pt(190)));
    return y + m.pt(200);
}

double ReportLayout::paintRealReading(QPainter &p, const Metrics &m, double y) const
{
    y = sectionTitle(p, m, y, QStringLiteral("Reading"));
    const double h = m.pt(22);
    for (int c = 0; c < m_table.columns.size(); ++c) {
        const ExportColumn &col = m_table.columns[c];
        if (col.header == QLatin1String("Date") || col.header == QLatin1String("Time") ||
            col.header == QLatin1String("Fuel"))
            continue;
        const QString value = m_table.rows.isEmpty() ? QString() : m_table.rows.first()[c];
        if (c % 2) p.fillRect(QRectF(0, y, m.width, h), kStripe);
        p.setPen(kMuted);
        p.setFont(font(11));
        p.drawText(QRectF(m.pt(8), y, m.width * 0.4, h), Qt::AlignLeft | Qt::AlignVCenter,
                   col.header);
        p.setPen(Qt::black);
        p.setFont(font(14, true));
        p.drawText(QRectF(m.width * 0.35, y, m.width * 0.3, h), Qt::AlignRight | Qt::AlignVCenter,
                   value);
        p.setPen(kMuted);
        p.setFont(font(11));
        p.drawText(QRectF(m.width * 0.68, y, m.width * 0.3, h), Qt::AlignLeft | Qt::AlignVCenter,
                   col.unit);
        y += h;
    }
    return y;
}

double ReportLayout::paintTableHead(QPainter &p, const Metrics &m, const QList<Column> &cols,
                                    double y) const
{
    const double h = m.pt(24), width = widthOf(cols);
    p.fillRect(QRectF(0, y, width, h), kShade);
    p.setPen(kAccent);
    double x = 0;
    for (const Column &col : cols) {
        const QRectF r(x + m.pt(3), y + m.pt(2), col.width - m.pt(6), h - m.pt(4));
        const Qt::Alignment align = col.numeric ? Qt::AlignRight : Qt::AlignLeft;
        p.setFont(font(7.5, true));
        p.drawText(r, align | Qt::AlignTop, col.head);
        p.setFont(font(7));
        p.drawText(r, align | Qt::AlignBottom, col.unit);
        x += col.width;
    }
    p.setPen(QPen(kAccent, m.pt(0.8)));
    p.drawLine(QPointF(0, y + h), QPointF(width, y + h));
    return y + h + m.pt(1);
}

void ReportLayout::paintRow(QPainter &p, const Metrics &m, const QList<Column> &cols, int row,
                            double y) const
{
    const double h = m.rowHeight();
    if (row % 2) p.fillRect(QRectF(0, y, widthOf(cols), h), kStripe);
    p.setPen(Qt::black);
    p.setFont(font(7.5));
    double x = 0;
    for (const Column &col : cols) {
        const QRectF r(x + m.pt(3), y, col.width - m.pt(6), h);
        p.drawText(r, (col.numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                   m_table.rows[row][col.source]);
        x += col.width;
    }
}

// The reading handed to a customer is signed for on the spot.
void ReportLayout::paintSignatures(QPainter &p, const Metrics &m) const
{
    const double top = m.footerTop() - m.pt(60), half = m.width / 2;
    p.setPen(QPen(kMuted, m.pt(0.6)));
    p.setFont(font(8));
    int i = 0;
    for (const char *caption : {"Technician", "Signature"}) {
        const double x = i++ * half;
        p.drawLine(QPointF(x, top + m.pt(30)), QPointF(x + half - m.pt(20), top + m.pt(30)));
        p.drawText(QRectF(x, top + m.pt(33), half, m.pt(12)), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(caption));
    }
}

void ReportLayout::paintFooter(QPainter &p, const Metrics &m, int page, int pages) const
{
    const double top = m.footerTop() + m.pt(6);
    p.setPen(QPen(kRule, m.pt(0.6)));
    p.drawLine(QPointF(0, top), QPointF(m.width, top));
    p.setPen(kMuted);
    p.setFont(font(7.5));
    const QRectF r(0, top + m.pt(3), m.width, m.pt(12));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Printed %1  ·  %2")
                   .arg(QLocale().toString(m_printed, QLocale::ShortFormat),
                        QString::fromLatin1(kProgram)));
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Page %1 of %2").arg(page).arg(pages));
}

void ReportLayout::paint(QPagedPaintDevice &device) const
{
    QPainter p(&device);
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Point);
    const double u = device.logicalDpiY() / 72.0;
    const Metrics m{u, area.width() * u, area.height() * u};

    double y = paintHeading(p, m, true);
    y = paintDetails(p, m, y);
    if (m_table.family == Family::Real) {
        paintRealReading(p, m, y);
        paintSignatures(p, m);
        paintFooter(p, m, 1, 1);
        return;
    }
    if (m_table.family == Family::Logger || m_table.family == Family::SingleLogger) {
        y = paintStatistics(p, m, y);
        y = paintChart(p, m, y);
    }
    const QList<Column> cols = columns(p, m);
    const int rows = static_cast<int>(m_table.rows.size());
    const double headH = m.pt(25), rowH = m.rowHeight();
    int firstRows = static_cast<int>((m.footerTop() - y - m.pt(22) - headH) / rowH);
    if (firstRows < 3 && rows > qMax(firstRows, 0)) firstRows = 0;
    firstRows = qBound(0, firstRows, rows);
    const int later =
        qMax(1, static_cast<int>((m.footerTop() - m.shortHeading() - m.pt(22) - headH) / rowH));
    const int pages = 1 + (rows - firstRows + later - 1) / later;

    int row = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            device.newPage();
            y = paintHeading(p, m, false);
        }
        const int count = page == 1 ? firstRows : qMin(later, rows - row);
        if (count > 0) {
            if (page == 1 || row == 0) y = sectionTitle(p, m, y, QStringLiteral("Readings"));
            y = paintTableHead(p, m, cols, y);
            for (int i = 0; i < count; ++i, ++row, y += rowH)
                paintRow(p, m, cols, row, y);
        }
        paintFooter(p, m, page, pages);
    }
}
