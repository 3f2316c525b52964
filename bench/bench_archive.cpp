// Figures for the measurement archive: one download archived durably beside the same bytes
// written as a file, a bulk import of mixed data files, and a large archive listed, queried
// and shown in its window. Reports only; never fails.
//
//     bench_archive [DOWNLOADS]    (DOWNLOADS for the large archive, 100000 by default)

#include "BenchTable.h"

#include "app/MessageSink.h"
#include "app/Program.h"
#include "archive/Archive.h"
#include "archive/frmArchive.h"
#include "files/SafeWrite.h"
#include "link/DevicePort.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

namespace {
class SilentMessages : public MessageSink {
public:
    MessageAnswer show(const QString &, const QString &, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

void appendLine(QByteArray &out, const QString &value)
{
    out += '"' + value.toLatin1() + "\"\r\n";
}

// A date and a time of its own for every n: the archive keeps an identical download once, so
// files that repeated each other would fill it with far fewer downloads than asked for.
QStringList stampOf(int n)
{
    return {QDate(2000, 1, 1).addDays(n / 1440).toString(QStringLiteral("dd/MM/yy")),
            QTime(0, 0).addSecs((n % 1440) * 60).toString(QStringLiteral("hh:mm:ss"))};
}

// A data file of the mode with every record slot filled; n makes each one different.
QByteArray dataFile(int mode, int n)
{
    const QStringList stamp = stampOf(n);
    QByteArray out;
    appendLine(out, QString::number(mode));
    if (mode >= 1 && mode <= 5) {
        const int rows = mode == 1 ? 50 : 100;
        for (const char *h : {"Add", "Time", "Date", "Fuel", "CO", "O2", "CO2", "Ratio", "XAir",
                              "Eff.", "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"})
            appendLine(out, h);
        for (int r = 0; r < rows; ++r) {
            const QStringList cells = {QString::number(r),
                                       stamp[1],
                                       stamp[0],
                                       r == 0 ? "Natural Gas" : "",
                                       QString::number((n + r) % 400),
                                       "3.2",
                                       "9.4",
                                       "0.0003",
                                       "17.0",
                                       "92.1",
                                       QString::number(150 + (n * 7 + r) % 90) + ".5",
                                       "21.0",
                                       "-0.12",
                                       "'C",
                                       "mbar"};
            for (const QString &c : cells)
                appendLine(out, c);
        }
        appendLine(out, "2.05");
        if (mode > 1) appendLine(out, "00:01:00");
        return out;
    }
    if (mode <= 10) { // single logger
        for (const QString &p :
             {QString("CO"), stamp[0], stamp[1], QString("00:00:10"), QString("ppm")})
            appendLine(out, p);
        for (const char *h : {"Add", "Average", "Maxmum"})
            appendLine(out, h);
        for (int r = 0; r < 30; ++r)
            for (const QString &c : {QString::number(r), QString::number((n + r) % 300),
                                     QString::number((n + r) % 300 + 12)})
                appendLine(out, c);
        appendLine(out, "2.05");
        return out;
    }
    appendLine(out, "Tightness"); // tightness
    for (const char *h : {"Add", "Date", "Time", "P1_Start", "P2_Stop", "Unit"})
        appendLine(out, h);
    for (int r = 0; r < 50; ++r)
        for (const QString &c :
             {QString::number(r), stamp[0], stamp[1], QString::number(20 + (n + r) % 9),
              QString("19.5"), QString("mbar")})
            appendLine(out, c);
    appendLine(out, "2.05");
    return out;
}

QString ms(double v)
{
    return QString::number(v, 'f', 2) + " ms";
}

void oneDownload(const QString &dir)
{
    Archive archive;
    QString error;
    archive.open(dir + "/one.sqlite", &error);
    int n = 0;
    const double archived = medianMs([&] {
        archive.addDataFile(dataFile(2, ++n), {"port", "/dev/ttyUSB0", {}}, &error);
    });
    const QByteArray page = dataFile(2, 0);
    const double written = medianMs([&] { writeWholeFile(dir + "/page0.txt", page, &error); });
    printRow("archive one Logger page, committed (FULL sync)", ms(archived), "< 10 ms");
    printRow("  baseline: the same bytes as a file, synced", ms(written),
             QStringLiteral("ratio %1 (< 3x)").arg(archived / written, 0, 'f', 2));
}

void bulkImport(const QString &dir)
{
    const QString files = dir + "/files";
    QDir().mkpath(files);
    qint64 bytes = 0;
    constexpr int kFiles = 10000;
    for (int n = 0; n < kFiles; ++n) {
        const QByteArray file = dataFile(1 + n % 11, n);
        bytes += file.size();
        QFile f(files + QStringLiteral("/f%1.txt").arg(n, 5, 10, QLatin1Char('0')));
        f.open(QIODevice::WriteOnly);
        f.write(file);
    }
    const QString db = dir + "/import.sqlite";
    const double seconds = medianMs(
                               [&] {
                                   Archive archive;
                                   QString error;
                                   archive.open(db, &error);
                                   archive.setBulk(true, &error);
                                   for (const QString &name : QDir(files).entryList({"*.txt"})) {
                                       QFile f(files + '/' + name);
                                       f.open(QIODevice::ReadOnly);
                                       archive.addDataFile(f.readAll(), {"file", name, {}}, &error);
                                   }
                               },
                               1) /
                           1000;
    printRow(QStringLiteral("import %1 data files of all modes").arg(kFiles),
             QString::number(seconds, 'f', 1) + " s", "< 30 s");
    const double ratio = double(QFileInfo(db).size()) / double(bytes);
    printRow(QStringLiteral("archive file / data files (%1 MB)").arg(bytes / 1e6, 0, 'f', 1),
             QString::number(ratio, 'f', 2), "<= 1.5");
}

// Customers and times spread over two years, most downloads full Logger pages.
void fillLarge(const QString &db, int downloads)
{
    Archive archive;
    QString error;
    archive.open(db, &error);
    archive.setBulk(true, &error);
    const QDateTime start = QDateTime::currentDateTime().addYears(-2);
    for (int n = 0; n < downloads; ++n) {
        const int mode = n % 10 == 9 ? 6 : 2 + n % 4;
        const QDateTime received = start.addSecs(qint64(n) * 2 * 365 * 86400 / downloads);
        const auto added =
            archive.addDataFile(dataFile(mode, n), {"port", "COM1", received}, &error);
        if (!added) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return;
        }
        archive.label(added->id, {QStringLiteral("Customer %1").arg(n % 200), "Site", {}}, &error);
    }
}

void largeArchive(const QString &db, int downloads)
{
    const QDateTime filled = QDateTime::currentDateTime();
    fillLarge(db, downloads);
    const double fillSeconds = filled.msecsTo(QDateTime::currentDateTime()) / 1000.0;
    QString error;
    const double firstScreen = medianMs(
        [&] {
            Archive archive;
            archive.open(db, &error);
            archive.count({}, &error);
            archive.list({}, 0, 50, &error);
        },
        9);
    // What the archive holds, not what was asked for: a repeated download is kept once.
    Archive counted;
    counted.open(db, &error);
    printRow(QStringLiteral("%1 downloads archived (filling took %2 s)")
                 .arg(counted.count({}, &error).value_or(-1))
                 .arg(fillSeconds, 0, 'f', 0),
             QString::number(QFileInfo(db).size() / 1e6, 'f', 0) + " MB", "");
    printRow("  list, first screen (open, count, 50 newest)", ms(firstScreen), "< 50 ms");

    Archive archive;
    archive.open(db, &error);
    ArchiveFilter year;
    year.customer = "Customer 17";
    year.since = QDate::currentDate().addYears(-1);
    int values = 0;
    const double series =
        medianMs([&] { values = int(archive.values(year, ReadingRows::CO, &error)->size()); }, 9);
    printRow(QStringLiteral("  one customer's CO over a year (%1 readings)").arg(values),
             ms(series), "< 100 ms");

    DevicePort port;
    SilentMessages messages;
    Program program(port, messages);
    program.archiver.enable(db);
    const double painted = medianMs(
        [&] {
            frmArchive window(program.archiver, messages);
            window.show();
            window.grab();
        },
        9);
    printRow("  archive window built and painted", ms(painted), "< 300 ms");
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int downloads = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    oneDownload(dir.path());
    bulkImport(dir.path());
    largeArchive(dir.path() + "/large.sqlite", downloads);
    return 0;
}
