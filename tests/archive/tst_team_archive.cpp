// The archive on a real PostgreSQL server that the test starts itself: the same operations as
// on SQLite, the command line against it, the push from local archives to the team archive
// (with the server restarted and pushes killed on the way), and the technicians' rights.

#include "ArchiveTestFiles.h"
#include "TestServer.h"

#include "archive/Archive.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace ArchiveTestFiles;

class tst_team_archive : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void sameOperations_data();
    void sameOperations();
    void filtersAndLabels();
    void cliOnServer_data();
    void cliOnServer();

private:
    QString adminUrl() const { return m_server->url(QStringLiteral("postgres"), m_database); }
    void openArchive(Archive &archive, const QString &url);
    QStringList serverQuery(const QString &sql);
    QByteArray cli(const QStringList &args, int *exitCode, QByteArray *err = nullptr,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_database;
    int m_databases = 0;
};

void tst_team_archive::initTestCase()
{
    m_server = std::make_unique<TestServer>(QStringLiteral(NRV508_PG_TEST_DIR));
    QString error;
    QVERIFY2(m_server->start(&error), qPrintable(error));
}

void tst_team_archive::cleanupTestCase()
{
    m_server.reset();
}

// Every test starts on a database of its own.
void tst_team_archive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_database = QStringLiteral("team%1").arg(++m_databases);
    QString error;
    m_server->sql(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE ") + m_database},
                  &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_team_archive::openArchive(Archive &archive, const QString &url)
{
    QString error;
    QVERIFY2(archive.open(url, &error), qPrintable(error));
}

QStringList tst_team_archive::serverQuery(const QString &sql)
{
    QString error;
    const QStringList values = m_server->sql(m_database, {sql}, &error);
    if (!error.isEmpty()) return {QStringLiteral("error: ") + error};
    return values;
}

QByteArray tst_team_archive::cli(const QStringList &args, int *exitCode, QByteArray *err,
                                 const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(NRV508_CLI), args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (err) *err = process.readAllStandardError();
    return process.readAllStandardOutput();
}

void tst_team_archive::sameOperations_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : names())
        QTest::newRow(qPrintable(name)) << name;
}

// Every mode's file goes in and comes back byte for byte with the same readings as from an
// SQLite archive, and a second copy of it is recognised.
void tst_team_archive::sameOperations()
{
    QFETCH(QString, name);
    const QByteArray bytes = read(name);
    QVERIFY(!bytes.isEmpty());
    Archive local, team;
    openArchive(local, m_dir->filePath(QStringLiteral("local.sqlite")));
    openArchive(team, adminUrl());
    QString error;
    const ArchiveSource source{"file", name, QDateTime::fromMSecsSinceEpoch(1700000000123)};
    const auto onLocal = local.addDataFile(bytes, source, &error);
    const auto onTeam = team.addDataFile(bytes, source, &error);
    QVERIFY2(onLocal && onTeam, qPrintable(error));
    QVERIFY(!onTeam->existed);
    const auto again = team.addDataFile(bytes, source, &error);
    QVERIFY2(again && again->existed && again->id == onTeam->id, qPrintable(error));

    QCOMPARE(team.dataFile(onTeam->id, &error).value_or(QByteArray()), bytes);
    QStringList localHeader, teamHeader;
    QList<ReadingRows::Row> localRows, teamRows;
    QVERIFY2(local.readings(onLocal->id, &localHeader, &localRows, &error), qPrintable(error));
    QVERIFY2(team.readings(onTeam->id, &teamHeader, &teamRows, &error), qPrintable(error));
    QCOMPARE(teamHeader, localHeader);
    QCOMPARE(teamRows.size(), localRows.size());
    for (int i = 0; i < teamRows.size(); ++i) {
        QCOMPARE(teamRows[i].row, localRows[i].row);
        QCOMPARE(teamRows[i].cells, localRows[i].cells);
        for (int q = 0; q < ReadingRows::kCount; ++q)
            QCOMPARE(teamRows[i].values[q], localRows[i].values[q]);
    }
    const auto localEntry = local.entry(onLocal->id, &error);
    const auto teamEntry = team.entry(onTeam->id, &error);
    QVERIFY2(localEntry && teamEntry, qPrintable(error));
    QCOMPARE(teamEntry->received, localEntry->received);
    QCOMPARE(teamEntry->sha256, localEntry->sha256);
    QCOMPARE(teamEntry->records, localEntry->records);
    QCOMPARE(teamEntry->mode, localEntry->mode);
}

// The case-blind search, its escaped wildcards, labels, deletion and a live run behave on the
// server as in a file.
void tst_team_archive::filtersAndLabels()
{
    Archive team;
    openArchive(team, adminUrl());
    QString error;
    QList<qint64> ids;
    for (int n = 0; n < 3; ++n) {
        const auto added = team.addDataFile(loggerVariant(n), {"file", "x.txt", {}}, &error);
        QVERIFY2(added, qPrintable(error));
        ids << added->id;
    }
    QVERIFY(team.label(
        ids[0], {QStringLiteral("Mueller GmbH"), QStringLiteral("100%_boiler"), std::nullopt},
        &error));
    QVERIFY(team.label(
        ids[1], {QStringLiteral("MUELLER Sons"), QStringLiteral("100 x"), QStringLiteral("note")},
        &error));
    ArchiveFilter filter;
    filter.text = QStringLiteral("mueller");
    QCOMPARE(team.count(filter, &error).value_or(-1), 2);
    filter.text = QStringLiteral("100%_");
    QCOMPARE(team.count(filter, &error).value_or(-1), 1);
    filter = {};
    filter.customer = QStringLiteral("MUELLER Sons");
    const auto listed = team.list(filter, 0, 10, &error);
    QVERIFY2(listed && listed->size() == 1 && listed->first().id == ids[1], qPrintable(error));

    const auto run = team.beginLiveRun({"live", "/dev/ttyUSB0", {}}, &error);
    QVERIFY2(run, qPrintable(error));
    ReadingRows::Row reading;
    reading.row = 1;
    reading.cells = QStringList{QStringLiteral("12")};
    reading.values[0] = 12.0;
    QVERIFY2(team.appendReading(*run, reading, &error), qPrintable(error));
    QVERIFY2(team.endLiveRun(*run, &error), qPrintable(error));
    QCOMPARE(team.entry(*run, &error)->records, 1);
    QVERIFY(team.entry(*run, &error)->ended.isValid());

    QVERIFY2(team.remove(ids[2], &error), qPrintable(error));
    QCOMPARE(
        serverQuery(
            QStringLiteral("SELECT COUNT(*) FROM readings WHERE download_id = %1").arg(ids[2])),
        QStringList{"0"});
    QCOMPARE(team.count({}, &error).value_or(-1), 3);
}

void tst_team_archive::cliOnServer_data()
{
    QTest::addColumn<QStringList>("args"); // after --db URL; FILE is a data file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // found in stdout

    QTest::newRow("import") << QStringList{"import", "FILE"} << 0
                            << "imported 1, already archived 0, refused 0";
    QTest::newRow("list") << QStringList{"list"} << 0 << "\tAcme\t";
    QTest::newRow("show") << QStringList{"show", "1"} << 0 << "customer=Acme";
    QTest::newRow("missing") << QStringList{"get", "99"} << 1 << "";
}

void tst_team_archive::cliOnServer()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    const QString file = m_dir->filePath(QStringLiteral("one.txt"));
    QVERIFY(writeFile(file, read(QStringLiteral("store.txt"))));
    if (args.first() != QLatin1String("import")) {
        Archive team;
        openArchive(team, adminUrl());
        QString error;
        const auto added =
            team.addDataFile(read(QStringLiteral("store.txt")), {"file", "one.txt", {}}, &error);
        QVERIFY2(added, qPrintable(error));
        QVERIFY(team.label(added->id, {QStringLiteral("Acme"), {}, {}}, &error));
    }
    args.replaceInStrings(QStringLiteral("FILE"), file);
    int code = 0;
    QByteArray err;
    const QByteArray printed = cli(QStringList{"archive", "--db", adminUrl()} + args, &code, &err);
    QVERIFY2(code == exitCode, err.constData());
    QVERIFY2(printed.contains(out.toUtf8()), printed.constData());
}

QTEST_GUILESS_MAIN(tst_team_archive)
#include "tst_team_archive.moc"
