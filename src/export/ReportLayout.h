#pragma once

#include "export/ExportTable.h"
#include "export/ReportHeader.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QRectF>

class QLocale;
class QPagedPaintDevice;
class QPageSize;
class QPainter;

// The measurement report of one download, laid out once for any paged device: the PDF file
// and a printer get the same pages. Page 1 carries the user's heading, the download's details,
// for logger pages the statistics and the chart of the chosen quantity, then the readings;
// further pages repeat a short heading and the table's column heads. Every page is numbered.
class ReportLayout {
public:
    ReportLayout(ExportTable table, ReportHeader header, QString quantity,
                 QDateTime printed = QDateTime::currentDateTime());

    // Paints every page; the device's page size and margins are the caller's.
    void paint(QPagedPaintDevice &device) const;
    // The report as a PDF document, on A4 or Letter as the locale uses.
    QByteArray pdf() const;

    // Letter where the locale's country prints on it, A4 everywhere else.
    static QPageSize pageSizeFor(const QLocale &locale);

private:
    struct Column {
        int source; // column of the table
        QString head, unit;
        double width = 0;
        bool numeric = false;
    };
    struct Metrics; // sizes in device units for one device

    QList<Column> columns(QPainter &p, const Metrics &m) const;
    double paintHeading(QPainter &p, const Metrics &m, bool full) const;
    double paintDetails(QPainter &p, const Metrics &m, double y) const;
    double paintStatistics(QPainter &p, const Metrics &m, double y) const;
    double paintChart(QPainter &p, const Metrics &m, double y) const;
    double paintRealReading(QPainter &p, const Metrics &m, double y) const;
    double paintTableHead(QPainter &p, const Metrics &m, const QList<Column> &cols, double y) const;
    void paintRow(QPainter &p, const Metrics &m, const QList<Column> &cols, int row,
                  double y) const;
    void paintSignatures(QPainter &p, const Metrics &m) const;
    void paintFooter(QPainter &p, const Metrics &m, int page, int pages) const;
    double sectionTitle(QPainter &p, const Metrics &m, double y, const QString &title) const;

    ExportTable m_table;
    ReportHeader m_header;
    QString m_quantity;
    QDateTime m_printed;
};
