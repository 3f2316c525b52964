// Figures for the team archive on a PostgreSQL server that the benchmark starts itself (a
// throw-away cluster with durable commits, on this machine): pushing a local archive's
// downloads, and with a large team archive, one customer's history and the archive window's
// first screen. Reports only; never fails.
//
//     bench_team [PUSHED] [TEAM]    (10000 downloads pushed, 100000 in the large team archive)

#include "BenchTable.h"
#include "TestServer.h"

#include "archive/Archive.h"
#include "archive/ArchiveTableModel.h"
#include "archive/TeamSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {
// A Logger page of 100 filled records; n makes each one different.
QByteArray loggerPage(int n)
{
    QByteArray out = "\"2\"\r\n";
    auto line = [&out](const QString &v) { out += '"' + v.toLatin1() + "\"\r\n"; };
    for (const char *h : {"Add", "Time", "Date", "Fuel", "CO", "O2", "CO2", "Ratio", "XAir", "Eff.",
                          "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"})
        line(QLatin1String(h));
    for (int r = 0; r < 100; ++r)
        for (const QString &c :
             {QString::number(r), QString("10:20:30"), QString("05/12/26"),
              QString(r == 0 ? "Natural Gas" : ""), QString::number((n + r) % 400), QString("3.2"),
              QString("9.4"), QString("0.0003"), QString("17.0"), QString("92.1"),
              QString::number(150 + (n * 7 + r) % 90) + ".5", QString("21.0"), QString("-0.12"),
              QString("'C"), QString("mbar")})
            line(c);
    line("2.05");
    line("00:01:00");
    return out;
}

void run(const QString &db, const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(db));
    if (!q.exec(sql)) std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
}

// A local archive of count downloads: one real Logger page, copied under distinct keys.
QString localArchive(const QString &dir, int count)
{
    const QString path = dir + "/local.sqlite";
    {
        Archive local;
        QString error;
        local.open(path, &error);
        local.addDataFile(loggerPage(0), {"port", "COM1", {}}, &error);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "local");
        db.setDatabaseName(path);
        db.open();
        run("local", QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 2 UNION ALL SELECT k + 1 FROM "
                                    "n WHERE k < %1) INSERT INTO downloads (received, archived, "
                                    "mode, version, sampling, origin, source, sha256, data, "
                                    "data_size, records) SELECT received + k, archived, mode, "
                                    "version, sampling, origin, source, printf('%064d', k), data, "
                                    "data_size, records FROM downloads, n WHERE id = 1")
                         .arg(count));
        run("local", "INSERT INTO readings SELECT d.id, row_no, cells, co, o2, co2, ratio, xair, "
                     "eff, temp1, temp2, pressure, value1, value2, arrived FROM downloads d, readings r "
                     "WHERE r.download_id = 1 AND d.id > 1");
    }
    QSqlDatabase::removeDatabase("local");
    return path;
}

// The team archive grown to downloads on the server itself: 200 customers over two years.
void growTeam(TestServer &server, const QString &database, int downloads)
{
    QString error;
    server.sql(database,
               {QStringLiteral(
                    "INSERT INTO downloads (received, archived, mode, version, sampling, origin, "
                    "source, sha256, data, data_size, records, customer, site, archived_by) "
                    "SELECT extract(epoch FROM now() - interval '2 years')::bigint * 1000 + "
                    "k::bigint * 631152, received, mode, version, sampling, origin, source, "
                    "'grown' || k, data, data_size, records, 'Customer ' || (k % 200), 'Site', "
                    "'tech' || (k % 200) FROM downloads, generate_series(1, %1) k WHERE id = 1")
                    .arg(downloads),
                "INSERT INTO readings SELECT d.id, row_no, cells, co, o2, co2, ratio, xair, eff, "
                "temp1, temp2, pressure, value1, value2, arrived FROM downloads d, readings r WHERE "
                "r.download_id = 1 AND d.sha256 LIKE 'grown%'",
                "ANALYZE"},
               &error);
    if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(error));
}

QString ms(double v)
{
    return QString::number(v, 'f', 1) + " ms";
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int pushed = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int grown = argc > 2 ? std::atoi(argv[2]) : 100000;
    QTemporaryDir dir;
    TestServer server(QDir::tempPath() + "/nrv508-bench-team", true);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    server.sql("postgres", {"CREATE DATABASE team"}, &error);
    const QString url = server.url("postgres", "team");

    const QString local = localArchive(dir.path(), pushed);
    Archive from;
    from.open(local, &error);
    TeamSync::Report report;
    QElapsedTimer timer;
    timer.start();
    TeamSync::pushWithRetry(from, url, 1, &report, {}, &error);
    const double seconds = timer.elapsed() / 1000.0;
    printRow(QStringLiteral("push %1 Logger pages (100 readings each)").arg(report.pushed),
             QString::number(seconds, 'f', 1) + " s", "< 60 s");

    timer.restart();
    growTeam(server, "team", grown - pushed);
    const QStringList sizes = server.sql("team", {"SELECT COUNT(*) FROM downloads"}, &error);
    printRow(QStringLiteral("team archive grown to %1 downloads (%2 s)")
                 .arg(sizes.value(0))
                 .arg(timer.elapsed() / 1000.0, 0, 'f', 0),
             "", "");
    Archive team;
    team.open(url, &error);
    ArchiveFilter customer;
    customer.customer = "Customer 17";
    int found = 0;
    const double history = medianMs(
        [&] {
            found = team.count(customer, &error).value_or(-1);
            team.list(customer, 0, ArchiveTableModel::kPage, &error);
        },
        9);
    printRow(QStringLiteral("  one customer's history (%1 downloads)").arg(found), ms(history),
             "< 100 ms");
    const double firstScreen = medianMs(
        [&] {
            Archive archive;
            archive.open(url, &error);
            ArchiveTableModel model;
            model.setArchive(&archive);
        },
        9);
    printRow("  window's first screen (connect, count, 200 newest)", ms(firstScreen), "< 300 ms");
    QString ignored;
    server.stop(false, &ignored);
    return 0;
}
