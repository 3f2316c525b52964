// Figures for the exports of a Logger page (CSV, JSON, Excel, the PDF report) and for many
// downloads in one CSV. Reports only; never fails.
#include "BenchTable.h"
#include "Streams.h"
#include "archive/Archive.h"
#include "export/ArchiveExport.h"
#include "export/CsvExport.h"
#include "export/ExportTable.h"
#include "export/Exporter.h"
#include "export/JsonExport.h"
#include "export/ReportLayout.h"
#include "export/XlsxExport.h"
#include "files/DataFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {
QString ms(double v)
{
    return QString::number(v, 'f', 3) + " ms";
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QFile capture(QStringLiteral(NRV508_STREAMS_DIR "/logger0.txt"));
    capture.open(QIODevice::ReadOnly);
    Core core(LoggerPage0);
    core.pass(capture.readAll());
    const ExportTable page = ExportTable::fromScreen(core.m);
    const CsvOptions csv;
    QString error;

    printRow("Logger page to CSV (from the screen)",
             ms(medianMs([&] { CsvExport::table(ExportTable::fromScreen(core.m), csv); })),
             "< 5 ms");
    printRow("Logger page to JSON (from the screen)",
             ms(medianMs([&] { JsonExport::table(ExportTable::fromScreen(core.m)); })), "< 5 ms");
    printRow("Logger page to XLSX with chart",
             wallAndCpu([&] { XlsxExport::workbook(page, &error); }), "< 50 ms");
    printRow("Logger page PDF report (3 pages)",
             wallAndCpu([&] { ReportLayout(page, ReportHeader(), "CO").pdf(); }, 9), "< 300 ms");

    // A thousand saved downloads, read from their data-file bytes as an archive holds them,
    // into one CSV file written all or nothing.
    const QByteArray bytes = DataFile::serialize(core.m);
    QTemporaryDir dir;
    const double manyMs = medianMs(
        [&] {
            QList<ExportTable> tables;
            for (int i = 0; i < 1000; ++i) {
                ExportTable t;
                ExportTable::fromDataFileBytes(bytes, QStringLiteral("%1.txt").arg(i), &t, &error);
                tables << t;
            }
            ExportSettings settings;
            Exporter::write(dir.filePath("all.csv"), tables, settings, &error);
        },
        3);
    printRow("1,000 downloads (data-file bytes) to one CSV", ms(manyMs), "< 5000 ms");

    // The same from a real archive file: each download's entry and data file read back from
    // SQLite, then one CSV with the archive's source, customer and site on every row.
    Archive archive;
    QList<qint64> ids;
    if (!archive.open(dir.filePath("archive.sqlite"), &error) || !archive.setBulk(true, &error))
        qFatal("%s", qPrintable(error));
    for (int i = 0; i < 1000; ++i) {
        core.m.MSFlexGrid1.setText(1, 4, QString::number(i)); // 1,000 different downloads
        const auto added = archive.addDataFile(
            DataFile::serialize(core.m), {"file", QStringLiteral("%1.txt").arg(i), {}}, &error);
        if (!added) qFatal("%s", qPrintable(error));
        archive.label(added->id, {QStringLiteral("Customer %1").arg(i % 40), "Plant", {}}, &error);
        ids << added->id;
    }
    ExportSettings settings;
    const double archivedMs = medianMs(
        [&] {
            if (!ArchiveExport::writeAll(archive, ids, dir.filePath("archived.csv"), settings,
                                         &error))
                qFatal("%s", qPrintable(error));
        },
        3);
    printRow("1,000 archived downloads (SQLite archive) to one CSV", ms(archivedMs), "< 5000 ms");
    return 0;
}
