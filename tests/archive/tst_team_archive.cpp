// The archive on a real PostgreSQL server that the test starts itself: the same operations as
// on SQLite, the command line against it, the push from local archives to the team archive
// (with the server restarted and pushes killed on the way), and the technicians' rights.

#include "ArchiveTestFiles.h"
#include "TestServer.h"

#include "MainWindowHarness.h"
#include "archive/Archive.h"
#include "archive/ArchiveTableModel.h"
#include "archive/TeamSync.h"
#include "archive/TeamSyncer.h"
#include "archive/frmArchive.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

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
    void pushEachOnce();
    void labelsFollow_data();
    void labelsFollow();
    void pushFaults_data();
    void pushFaults();
    void offlineForAWhile();
    void windowShowsTeam_data();
    void windowShowsTeam();
    void rights_data();
    void rights();
    void teamLocation_data();
    void teamLocation();

private:
    QString adminUrl() const { return m_server->url(QStringLiteral("postgres"), m_database); }
    void openArchive(Archive &archive, const QString &url);
    QStringList serverQuery(const QString &sql);
    QByteArray cli(const QStringList &args, int *exitCode, QByteArray *err = nullptr,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

    QString localArchive(const QString &name, int first, int count);
    qint64 addLiveRun(Archive &local, bool end);
    QByteArray sync(const QString &local, const QString &who);
    void checkTeamHolds(int downloads);

    std::unique_ptr<TestServer> m_server;
    QTemporaryDir m_home; // the password file
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_database;
    int m_databases = 0;
};

void tst_team_archive::initTestCase()
{
    m_server = std::make_unique<TestServer>(QStringLiteral(NRV508_PG_TEST_DIR));
    QString error;
    QVERIFY2(m_server->start(&error), qPrintable(error));
    // The group roles the archive's schema grants rights to, and the team's own roles, which
    // find their passwords in the password file as a technician's program would.
    m_server->sql(QStringLiteral("postgres"),
                  {"CREATE ROLE nrv508_technician NOLOGIN", "CREATE ROLE nrv508_office NOLOGIN",
                   "CREATE ROLE alice LOGIN PASSWORD 'alice-pw' IN ROLE nrv508_technician",
                   "CREATE ROLE bob LOGIN PASSWORD 'bob-pw' IN ROLE nrv508_technician",
                   "CREATE ROLE office LOGIN PASSWORD 'office-pw' IN ROLE nrv508_office"},
                  &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString passwords = m_home.filePath(QStringLiteral("pgpass"));
    QVERIFY(writeFile(passwords, "127.0.0.1:*:*:alice:alice-pw\n127.0.0.1:*:*:bob:bob-pw\n"
                                 "127.0.0.1:*:*:office:office-pw\n"));
    QFile::setPermissions(passwords, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", QFile::encodeName(passwords));
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
    Archive made; // by its owner: the team's roles may not create tables
    openArchive(made, adminUrl());
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
    reading.arrived = QDateTime::fromMSecsSinceEpoch(1700000000123);
    QVERIFY2(team.appendReading(*run, reading, &error), qPrintable(error));
    QStringList header;
    QList<ReadingRows::Row> back;
    QVERIFY2(team.readings(*run, &header, &back, &error), qPrintable(error));
    QCOMPARE(back.value(0).arrived, reading.arrived);
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

// A local archive of count distinct downloads, keyed first to first + count - 1: one real
// download copied in SQL under made-up keys, as fast as a test needs many.
QString tst_team_archive::localArchive(const QString &name, int first, int count)
{
    const QString path = m_dir->filePath(name + QStringLiteral(".sqlite"));
    {
        Archive local;
        QString error;
        if (!local.open(path, &error) ||
            !local.addDataFile(loggerVariant(0), {"file", name, {}}, &error))
            qWarning("%s", qPrintable(error));
    }
    const QString key = QStringLiteral("printf('%064d', k)");
    query(path, QStringLiteral("UPDATE downloads SET sha256 = printf('%064d', %1)").arg(first));
    query(path,
          QStringLiteral(
              "WITH RECURSIVE n(k) AS (SELECT %1 WHERE %1 <= %2 UNION ALL SELECT k + 1 FROM n "
              "WHERE k < %2) INSERT INTO downloads (received, archived, mode, "
              "version, sampling, origin, source, sha256, data, data_size, "
              "records) SELECT received + k, archived, mode, version, sampling, "
              "origin, source, %3, data, data_size, records FROM downloads, n "
              "WHERE id = 1")
              .arg(first + 1)
              .arg(first + count - 1)
              .arg(key));
    query(path, QStringLiteral("INSERT INTO readings SELECT d.id, row_no, cells, co, o2, co2, "
                               "ratio, xair, eff, temp1, temp2, pressure, value1, value2, "
                               "arrived FROM "
                               "downloads d, readings r WHERE r.download_id = 1 AND d.id > 1"));
    return path;
}

// Each download once, and each whole: its data file and every one of its readings.
void tst_team_archive::checkTeamHolds(int downloads)
{
    QCOMPARE(serverQuery("SELECT COUNT(*), COUNT(DISTINCT sha256) FROM downloads").value(0),
             QString::number(downloads));
    QCOMPARE(serverQuery("SELECT COUNT(DISTINCT sha256) FROM downloads"),
             QStringList{QString::number(downloads)});
    QCOMPARE(serverQuery("SELECT COUNT(*) FROM downloads d WHERE records <> (SELECT COUNT(*) "
                         "FROM readings r WHERE r.download_id = d.id) OR data IS NULL"),
             QStringList{"0"});
}

// Two computers' archives, overlapping, one with a live run and labels: the team archive ends
// with the union, labels and all, and a second push adds nothing.
void tst_team_archive::pushEachOnce()
{
    Archive first, second;
    openArchive(first, localArchive(QStringLiteral("first"), 0, 5));
    openArchive(second, localArchive(QStringLiteral("second"), 3, 4));
    QString error;
    QVERIFY(first.label(1, {QStringLiteral("Acme"), QStringLiteral("Boiler 2"), {}}, &error));
    const qint64 run = addLiveRun(second, false);
    QVERIFY(run > 0);
    TeamSync::Report report;
    QVERIFY2(TeamSync::pushWithRetry(second, adminUrl(), 1, &report, {}, &error),
             qPrintable(error));
    QCOMPARE(report.pushed, 4); // the live run waits for its end
    QVERIFY(second.endLiveRun(run, &error));
    for (Archive *local : {&first, &second, &first}) {
        report = {};
        QVERIFY2(TeamSync::pushWithRetry(*local, adminUrl(), 1, &report, {}, &error),
                 qPrintable(error));
    }
    QCOMPARE(report.pushed + report.existed, 0);
    QCOMPARE(serverQuery("SELECT COUNT(*) FROM downloads"), QStringList{"8"});
    QCOMPARE(serverQuery("SELECT customer || '/' || site || '/' || archived_by FROM downloads "
                         "WHERE customer <> ''"),
             QStringList{"Acme/Boiler 2/postgres"});
    QCOMPARE(serverQuery("SELECT records FROM downloads WHERE origin = 'live'"), QStringList{"1"});
    QCOMPARE(serverQuery("SELECT COUNT(*) FROM readings r JOIN downloads d ON d.id = "
                         "r.download_id WHERE d.origin = 'live'"),
             QStringList{"1"});
}

qint64 tst_team_archive::addLiveRun(Archive &local, bool end)
{
    QString error;
    const auto run = local.beginLiveRun({"live", "/dev/ttyUSB0", {}}, &error);
    ReadingRows::Row reading;
    reading.row = 1;
    reading.cells = QStringList{QStringLiteral("7")};
    reading.values[0] = 7.0;
    if (!run || !local.appendReading(*run, reading, &error) ||
        (end && !local.endLiveRun(*run, &error)))
        qWarning("%s", qPrintable(error));
    return run.value_or(0);
}

// nrv508-cli archive sync from local to the team archive as who; its output, or a failure.
QByteArray tst_team_archive::sync(const QString &local, const QString &who)
{
    int code = 0;
    QByteArray err;
    const QByteArray out = cli(
        {"archive", "--db", local, "sync", "--team", m_server->url(who, m_database)}, &code, &err);
    return code == 0 ? out : "failed: " + err;
}

void tst_team_archive::labelsFollow_data()
{
    QTest::addColumn<QString>("firstPusher"); // who pushed the download first
    QTest::addColumn<bool>("live");
    QTest::addColumn<QString>("teamCustomer"); // on the team archive's copy afterwards
    QTest::addColumn<QString>("reported");     // alice's sync line for it

    QTest::newRow("her own download") << "alice" << false << "Acme"
                                      << "labels updated\t";
    QTest::newRow("her own live run") << "alice" << true << "Acme"
                                      << "labels updated\t";
    QTest::newRow("a colleague's copy") << "bob" << false << "Bob's"
                                        << "already there\t";
}

// Labels given after a push follow the download on the next push, once, onto the pusher's own
// copy only.
void tst_team_archive::labelsFollow()
{
    QFETCH(QString, firstPusher);
    QFETCH(bool, live);
    QFETCH(QString, teamCustomer);
    QFETCH(QString, reported);
    const QString alice = localArchive(QStringLiteral("alice"), 0, 1);
    const QString bob = localArchive(QStringLiteral("bob"), 0, 1);
    Archive local;
    openArchive(local, alice);
    const qint64 id = live ? addLiveRun(local, true) : 1;
    QString error;
    if (firstPusher == QLatin1String("bob")) {
        Archive other;
        openArchive(other, bob);
        QVERIFY(other.label(1, {QStringLiteral("Bob's"), {}, {}}, &error));
        QVERIFY(sync(bob, firstPusher).contains("pushed 1,"));
    }
    QVERIFY(local.label(id, {QStringLiteral("Before"), {}, {}}, &error));
    QVERIFY(!sync(alice, QStringLiteral("alice")).startsWith("failed"));
    QVERIFY2(local.label(id, {QStringLiteral("Acme"), {}, {}}, &error), qPrintable(error));
    const QByteArray again = sync(alice, QStringLiteral("alice"));
    QVERIFY2(again.contains(reported.toUtf8() + QByteArray::number(id) + '\t'), again.constData());
    const QString origin = live ? QStringLiteral("live") : QStringLiteral("file");
    QCOMPARE(serverQuery(
                 QStringLiteral("SELECT customer FROM downloads WHERE origin = '%1'").arg(origin)),
             QStringList{teamCustomer});
    const QByteArray third = sync(alice, QStringLiteral("alice"));
    QVERIFY2(third.contains("pushed 0, labels updated 0, already there 0, waiting 0"),
             third.constData());
    QCOMPARE(serverQuery("SELECT COUNT(*) FROM downloads"), QStringList{live ? "2" : "1"});
}

void tst_team_archive::pushFaults_data()
{
    QTest::addColumn<int>("processes");
    QTest::addColumn<int>("each");   // downloads in each process's local archive
    QTest::addColumn<int>("stride"); // how far apart their ranges start; 0: the same downloads
    QTest::addColumn<QString>("fault");

    QTest::newRow("four pushers, server restarted") << 4 << 1000 << 750 << "restart";
    QTest::newRow("server crashed") << 2 << 300 << 150 << "crash";
    QTest::newRow("connections dropped") << 2 << 300 << 300 << "drop";
    QTest::newRow("same downloads at once") << 3 << 300 << 0 << "";
    QTest::newRow("push killed") << 1 << 400 << 0 << "kill";
}

// Pushers in processes of their own; part-way, the fault. Every pusher (a killed one: pushing
// again) ends with success, and the team archive holds the union exactly once.
void tst_team_archive::pushFaults()
{
    QFETCH(int, processes);
    QFETCH(int, each);
    QFETCH(int, stride);
    QFETCH(QString, fault);
    QStringList locals;
    for (int p = 0; p < processes; ++p)
        locals << localArchive(QStringLiteral("pusher%1").arg(p), p * stride, each);
    std::vector<std::unique_ptr<QProcess>> pushers;
    int lines = 0;
    for (const QString &local : locals) {
        auto process = std::make_unique<QProcess>();
        connect(process.get(), &QProcess::readyReadStandardOutput, this,
                [&lines, p = process.get()] {
                    while (p->canReadLine())
                        lines += p->readLine().startsWith("pushed\t") ? 1 : 0;
                });
        const QString who = pushers.size() % 2 ? QStringLiteral("bob") : QStringLiteral("alice");
        process->start(QStringLiteral(NRV508_CLI), {"archive", "--db", local, "sync", "--team",
                                                    m_server->url(who, m_database)});
        pushers.push_back(std::move(process));
    }
    QTRY_VERIFY_WITH_TIMEOUT(lines >= each / 4, 60000);
    QString error;
    if (fault == QLatin1String("restart") || fault == QLatin1String("crash")) {
        QVERIFY2(m_server->stop(fault == QLatin1String("crash"), &error), qPrintable(error));
        QVERIFY2(m_server->restart(&error), qPrintable(error));
    } else if (fault == QLatin1String("drop")) {
        m_server->sql(m_database,
                      {"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                       "current_database() AND pid <> pg_backend_pid()"},
                      &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    } else if (fault == QLatin1String("kill")) {
        ::kill(pid_t(pushers.front()->processId()), SIGKILL);
    }
    for (auto &process : pushers) {
        QVERIFY(process->waitForFinished(120000));
        if (fault != QLatin1String("kill"))
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    if (fault == QLatin1String("kill")) {
        int code = 0;
        QByteArray err;
        cli({"archive", "--db", locals.first(), "sync", "--team",
             m_server->url(QStringLiteral("alice"), m_database)},
            &code, &err);
        QVERIFY2(code == 0, err.constData());
        QCOMPARE(query(locals.first(), "PRAGMA integrity_check"), QStringList{"ok"});
        QCOMPARE(query(locals.first(), "SELECT COUNT(*) FROM downloads"),
                 QStringList{QString::number(each)});
    }
    checkTeamHolds((processes - 1) * stride + each);
    QCOMPARE(serverQuery("SELECT COUNT(*) FROM downloads WHERE archived_by NOT IN ('alice', "
                         "'bob')"),
             QStringList{"0"});
}

void tst_team_archive::rights_data()
{
    QTest::addColumn<QString>("who");    // alice archived the download
    QTest::addColumn<QString>("action"); // label, delete, or forge: add one under bob's name
    QTest::addColumn<bool>("allowed");

    QTest::newRow("technician relabels her own") << "alice"
                                                 << "label" << true;
    QTest::newRow("technician relabels another's") << "bob"
                                                   << "label" << false;
    QTest::newRow("technician deletes another's") << "bob"
                                                  << "delete" << false;
    QTest::newRow("technician deletes her own") << "alice"
                                                << "delete" << true;
    QTest::newRow("technician adds under another's name") << "alice"
                                                          << "forge" << false;
    QTest::newRow("office relabels any") << "office"
                                         << "label" << true;
    QTest::newRow("office deletes any") << "office"
                                        << "delete" << true;
}

void tst_team_archive::rights()
{
    QFETCH(QString, who);
    QFETCH(QString, action);
    QFETCH(bool, allowed);
    Archive local;
    openArchive(local, localArchive(QStringLiteral("alice"), 0, 1));
    TeamSync::Report report;
    QString error;
    QVERIFY2(TeamSync::pushWithRetry(local, m_server->url(QStringLiteral("alice"), m_database), 1,
                                     &report, {}, &error),
             qPrintable(error));
    QCOMPARE(serverQuery("SELECT archived_by FROM downloads"), QStringList{"alice"});
    const qint64 id = serverQuery("SELECT id FROM downloads").value(0).toLongLong();

    Archive team;
    openArchive(team, m_server->url(who, m_database));
    bool done = false;
    if (action == QLatin1String("label")) {
        done = team.label(id, {QStringLiteral("Relabelled"), {}, {}}, &error);
        QCOMPARE(serverQuery("SELECT customer FROM downloads"),
                 QStringList{allowed ? "Relabelled" : ""});
    } else if (action == QLatin1String("delete")) {
        done = team.remove(id, &error);
        QCOMPARE(serverQuery("SELECT COUNT(*) FROM downloads"), QStringList{allowed ? "0" : "1"});
        QCOMPARE(serverQuery("SELECT COUNT(*) = 0 FROM readings"),
                 QStringList{allowed ? "true" : "false"});
    } else {
        StoredDownload forged = *local.stored(1, &error);
        forged.entry.sha256 = QStringLiteral("forged");
        QVERIFY(team.adopt(forged, &error)); // under her own name: fine
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "forger");
            db.setHostName(QStringLiteral("127.0.0.1"));
            db.setPort(m_server->port());
            db.setUserName(who);
            db.setDatabaseName(m_database);
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery q(db);
            done = q.exec("UPDATE downloads SET archived_by = 'bob' WHERE sha256 = 'forged'") &&
                   q.numRowsAffected() == 1;
            error = q.lastError().text();
        }
        QSqlDatabase::removeDatabase("forger");
    }
    QVERIFY2(done == allowed, qPrintable(error));
    if (!allowed) QVERIFY(!error.isEmpty());
}

void tst_team_archive::teamLocation_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("problem"); // found in the reason; empty: accepted

    QTest::newRow("user, host, port, database") << "postgresql://tech@db.example:5432/team"
                                                << "";
    QTest::newRow("password in the URL") << "postgresql://tech:secret@db/team"
                                         << "password";
    QTest::newRow("a file") << "/home/tech/archive.sqlite"
                            << "postgresql://";
    QTest::newRow("no database") << "postgresql://tech@db"
                                 << "no server and database";
}

void tst_team_archive::teamLocation()
{
    QFETCH(QString, location);
    QFETCH(QString, problem);
    const QString reason = TeamSync::checkLocation(location);
    QVERIFY2(problem.isEmpty() ? reason.isEmpty() : reason.contains(problem), qPrintable(reason));
}

// Two technicians' programs pushing in the background, the second one offline at first: the
// team archive ends with every download of both once, the second's pushed once it is back.
void tst_team_archive::offlineForAWhile()
{
    const QString alice = localArchive(QStringLiteral("alice"), 0, 30);
    const QString bob = localArchive(QStringLiteral("bob"), 20, 30);
    TeamSyncer first, second;
    first.start(alice, m_server->url(QStringLiteral("alice"), m_database));
    QTRY_COMPARE_WITH_TIMEOUT(serverQuery("SELECT COUNT(*) FROM downloads"), QStringList{"30"},
                              60000);
    // The server commits before the pusher hears of it.
    QTRY_VERIFY2_WITH_TIMEOUT(first.online(), qPrintable(first.status()), 60000);
    QString error;
    QVERIFY2(m_server->stop(false, &error), qPrintable(error));
    second.start(bob, m_server->url(QStringLiteral("bob"), m_database));
    QTRY_VERIFY_WITH_TIMEOUT(second.status().startsWith("Working offline"), 60000);
    QVERIFY(second.status().contains("30 download(s) wait"));
    {
        Archive local; // a download while offline
        openArchive(local, alice);
        QVERIFY(local.addDataFile(loggerVariant(1000), {"file", "new.txt", {}}, &error));
    }
    first.pushSoon();
    QVERIFY2(m_server->restart(&error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(second.online(), 120000);
    first.pushSoon();
    QTRY_COMPARE_WITH_TIMEOUT(serverQuery("SELECT COUNT(*) FROM downloads"), QStringList{"51"},
                              120000);
    checkTeamHolds(51);
    QCOMPARE(serverQuery("SELECT archived_by || count(*) FROM downloads GROUP BY archived_by "
                         "ORDER BY 1"),
             (QStringList{"alice31", "bob20"}));
}

void tst_team_archive::windowShowsTeam_data()
{
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("state"); // the start of the panel's line

    QTest::newRow("team archive reachable") << true << "Everyone's downloads";
    QTest::newRow("server down") << false << "Working offline: the team archive";
}

// Bob's archive window lists the team archive with Alice's download and its archiver, or says
// it works offline and goes on showing this computer's downloads.
void tst_team_archive::windowShowsTeam()
{
    QFETCH(bool, reachable);
    QFETCH(QString, state);
    Archive alice;
    openArchive(alice, localArchive(QStringLiteral("alice"), 0, 1));
    TeamSync::Report report;
    QString error;
    QVERIFY(TeamSync::pushWithRetry(alice, m_server->url(QStringLiteral("alice"), m_database), 1,
                                    &report, {}, &error));
    if (!reachable) QVERIFY2(m_server->stop(false, &error), qPrintable(error));
    qputenv("NRV508_TEAM_ARCHIVE", m_server->url(QStringLiteral("bob"), m_database).toUtf8());
    MainWindowHarness harness;
    harness.program->archiver.enable(m_dir->filePath(QStringLiteral("bob.sqlite")));
    frmArchive window(harness.program->archiver, harness.messages);
    window.show();
    auto *team = window.findChild<QCheckBox *>(QStringLiteral("archiveTeam"));
    QVERIFY(team && team->isEnabled());
    team->click();
    qunsetenv("NRV508_TEAM_ARCHIVE");
    const QString shown = window.findChild<QLabel *>(QStringLiteral("archiveTeamState"))->text();
    if (!reachable) QVERIFY2(m_server->restart(&error), qPrintable(error));
    QVERIFY2(shown.startsWith(state), qPrintable(shown));
    QCOMPARE(team->isChecked(), reachable);
    QCOMPARE(window.model().rowCount(), reachable ? 1 : 0);
    QCOMPARE(window.table()->isColumnHidden(ArchiveTableModel::ArchivedBy), !reachable);
    if (reachable)
        QCOMPARE(window.model().index(0, ArchiveTableModel::ArchivedBy).data().toString(),
                 QStringLiteral("alice"));
}

QTEST_MAIN(tst_team_archive)
#include "tst_team_archive.moc"
