// Figures for the work the program does on its own time: the reception pass, the data file
// and (when built) the chart series. Reports only; never fails.
#include "BenchTable.h"
#include "Streams.h"
#include "charts/ChartCommands.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {
QByteArray loggerPage()
{
    QStringList lines = {"manufacturer=\"Maker\"",     "major_version=\"2\"",
                         "minor_version=\"05\"",       "logger page=\"0\"",
                         "sampling time=\"00:01:00\"", "fuel_type=\"Natural Gas\"",
                         "temperature_unit=\"C\"",     "pressure_unit=\"mbar\""};
    for (int a = 0; a < 100; ++a) {
        lines << QStringLiteral("<inst_data address=\"%1\"").arg(a)
              << QStringLiteral("time=\"10:%1:00\"").arg(a % 60, 2, 10, QLatin1Char('0'))
              << "date=\"05/12/26\""
              << QStringLiteral("CO=\"%1/%2/%3\"").arg(a).arg(a + 5).arg(a + 9)
              << "O2=\"3.1/3.2/3.3\""
              << "CO2=\"9.1/9.2/9.4\""
              << "CO_CO2_ratio=\"0.0003\""
              << "xair=\"17.0\""
              << "efficiency=\"92.1\""
              << "temp_ch1=\"180.2\""
              << "temp_ch2=\"21.0\""
              << "pressure=\"-0.12\"/>";
    }
    return stream(lines);
}

QString ms(double v)
{
    return QString::number(v, 'f', 3) + " ms";
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray page = loggerPage();

    const double pageMs = medianMs([&] {
        Core c(LoggerPage0);
        c.pass(page);
    });
    printRow(QStringLiteral("reception pass, full Logger page (%1 bytes)").arg(page.size()),
             ms(pageMs), "< 1 ms");

    // One long stream of the same records, about 1 MB, in one pass.
    QByteArray big = page.left(page.lastIndexOf("</BTInstReading>"));
    const QByteArray records = big.mid(big.indexOf("<inst_data"));
    while (big.size() < 1024 * 1024)
        big += records;
    big += "</BTInstReading>\n\r";
    const double bigMs = medianMs(
        [&] {
            Core c(LoggerPage0);
            c.pass(big);
        },
        7);
    printRow(QStringLiteral("reception pass, %1 MB stream").arg(big.size() / 1048576.0, 0, 'f', 2),
             QStringLiteral("%1 (%2 MB/s)")
                 .arg(ms(bigMs))
                 .arg(big.size() / 1048576.0 / (bigMs / 1000), 0, 'f', 0),
             QStringLiteral("< %1 (40 x page)").arg(ms(40 * pageMs)));

    Core filled(LoggerPage0);
    filled.pass(page);
    QTemporaryDir dir;
    const QString path = dir.filePath("page.txt");
    QString error;
    const double writeMs = medianMs([&] { DataFile::write(filled.m, path, &error); });
    printRow("data file write, Logger page", ms(writeMs), "< 2 ms");
    const double readMs = medianMs([&] {
        Core c(Real);
        DataFile::Contents contents;
        DataFile::load(path, &contents, &error);
        DataFile::apply(contents, c.m);
    });
    printRow("data file read, Logger page", ms(readMs), "< 2 ms");

    ChartState chart;
    ChartCommands commands(filled.m, chart);
    commands.load();
    const ChartQuantityInfo *co = chartQuantityByCaption(QStringLiteral("CO"));
    commands.chooseQuantity(*co);
    const double chartMs = medianMs([&] { commands.BuildChartSeries(); }, 101);
    printRow("chart series build, 100 points", ms(chartMs), "< 1 ms");
    return 0;
}
