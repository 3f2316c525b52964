// nrv508-cli archive as a user or a script runs it: whole commands, two copies writing one
// archive at once, an import killed at random moments, an import into a full disk, and
// downloads from the analyser emulator archived with --archive.

#include "ArchiveTestFiles.h"
#include "TestFiles.h"

#include "archive/Archive.h"
#include "common/EmulatorProcess.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace ArchiveTestFiles;

namespace {
QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}
} // namespace

class tst_archive_cli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void commands_data();
    void commands();
    void twoWritersAtOnce();
    void killedImport_data();
    void killedImport();
    void fullDisk();
    void downloadArchived_data();
    void downloadArchived();
    void liveArchived();

private:
    QString db() const { return m_dir->filePath(QStringLiteral("a.sqlite")); }
    // Every entry holds all its readings and a data file that reads back to its checksum;
    // returns the sources in the order they were archived.
    QStringList checkComplete();

    QTemporaryDir m_files; // many distinct logger pages, named in import order
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_archive_cli::initTestCase()
{
    QVERIFY(m_files.isValid());
    for (int n = 0; n < 400; ++n)
        QVERIFY(writeFile(m_files.filePath(QStringLiteral("page%1.txt").arg(n, 4, 10, QChar('0'))),
                          loggerVariant(n)));
}

void tst_archive_cli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // A command without --db uses the default archive: never the user's own.
    qputenv("NRV508_ARCHIVE", m_dir->filePath("default.sqlite").toLocal8Bit());
}

QStringList tst_archive_cli::checkComplete()
{
    QStringList sources;
    Archive archive;
    QString error;
    if (!archive.open(db(), &error)) {
        qWarning("%s", qPrintable(error));
        return {QStringLiteral("cannot open")};
    }
    const auto entries = archive.list({}, 0, 100000, &error);
    for (auto it = entries->crbegin(); it != entries->crend(); ++it) {
        QStringList header;
        QList<ReadingRows::Row> rows;
        const std::optional<QByteArray> bytes = archive.dataFile(it->id, &error);
        if (!bytes || sha256(*bytes) != it->sha256 ||
            !archive.readings(it->id, &header, &rows, &error) || rows.size() != it->records)
            return {QStringLiteral("incomplete %1").arg(it->id)};
        sources << QFileInfo(it->source).fileName();
    }
    return sources;
}

void tst_archive_cli::commands_data()
{
    QTest::addColumn<QStringList>("args"); // DB: the archive, DATA: the expected files
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err"); // the first line of stderr

    const QString usage = "usage: nrv508-cli archive [--db LOCATION] list";
    QTest::newRow("import with a stranger")
        << QStringList{"archive", "--db", "DB", "import", "DATA", "DATA/README.md"} << 1
        << QByteArray("imported 12, already archived 0, refused 1\n")
        << "Cannot open \"DATA/README.md\": it is not a data file (its first value \"# Expected "
           "results\" is not a mode number).";
    QTest::newRow("get unknown") << QStringList{"archive", "--db", "DB", "get", "99"} << 1
                                 << QByteArray() << "The archive \"DB\" holds no download 99.";
    QTest::newRow("no subcommand") << QStringList{"archive", "--db", "DB"} << 2 << QByteArray()
                                   << "nrv508-cli archive: give a subcommand";
    QTest::newRow("option of another")
        << QStringList{"archive", "list", "--customer", "x"} << 2 << QByteArray()
        << "nrv508-cli archive: list does not take --customer";
    QTest::newRow("bad id") << QStringList{"archive", "show", "x1"} << 2 << QByteArray()
                            << "nrv508-cli archive: show takes one archive ID";
    QTest::newRow("bad date") << QStringList{"archive", "list", "--since", "1/2/2025"} << 2
                              << QByteArray()
                              << "nrv508-cli archive: --since takes a date as YYYY-MM-DD";
    QTest::newRow("newest first, filtered")
        << QStringList{"archive", "--db", "DB", "list", "--search", "acme", "--mode", "2"} << 0
        << QByteArray("1\tRECEIVED\t2\t100\t2.05\tAcme\tBoiler\n") << "";
    QTest::newRow("label") << QStringList{"archive", "--db", "DB", "label", "1", "--note", "n"} << 0
                           << QByteArray() << "";
    QTest::newRow("delete") << QStringList{"archive", "--db", "DB", "delete", "1"} << 0
                            << QByteArray() << "";
}

void tst_archive_cli::commands()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    const QString data = QStringLiteral(NRV508_TEST_DATA "/expected");
    if (!args.contains("import")) {
        // An archive holding logger page 0 for "Acme" and every other file unlabelled.
        QCOMPARE(cli({"archive", "--db", db(), "import", data + "/logger0.txt"}).status, 0);
        QCOMPARE(cli({"archive", "--db", db(), "import", data}).status, 0);
        QCOMPARE(
            cli({"archive", "--db", db(), "label", "1", "--customer", "Acme", "--site", "Boiler"})
                .status,
            0);
    }
    args.replaceInStrings("DB", db());
    args.replaceInStrings("DATA", data);
    const Run run = cli(args);
    QCOMPARE(run.status, status);
    Archive archive;
    QString error;
    QVERIFY(archive.open(db(), &error));
    if (out.contains("RECEIVED"))
        out.replace("RECEIVED", [&] {
            const QDateTime t = archive.entry(1, &error)->received.toLocalTime();
            return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8();
        }());
    QCOMPARE(run.out, out);
    QCOMPARE(QString::fromLocal8Bit(run.err).section('\n', 0, 0),
             err.replace("DB", db()).replace("DATA", data));
    if (args.contains("delete")) QVERIFY(!archive.entry(1, &error));
    if (args.contains("label")) QCOMPARE(archive.entry(1, &error)->note, QStringLiteral("n"));
}

void tst_archive_cli::twoWritersAtOnce()
{
    // Two copies import overlapping halves of the same files into one archive at once.
    const QStringList files = QDir(m_files.path()).entryList({"*.txt"}, QDir::Files, QDir::Name);
    QStringList first{"archive", "--db", db(), "import"}, second = first;
    for (int n = 0; n < 240; ++n)
        (n < 160 ? first : second) << m_files.filePath(files[n]);
    second << m_files.filePath(files[100]) << m_files.filePath(files[0]);
    QProcess a, b;
    a.start(QStringLiteral(NRV508_CLI), first);
    b.start(QStringLiteral(NRV508_CLI), second);
    QVERIFY(a.waitForFinished(180000) && b.waitForFinished(180000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    QVERIFY2(a.readAllStandardError().isEmpty() && b.readAllStandardError().isEmpty(), "errors");
    QCOMPARE(query(db(), "PRAGMA integrity_check"), QStringList{"ok"});
    QStringList archived = checkComplete();
    archived.sort();
    QCOMPARE(archived, files.mid(0, 240));
}

void tst_archive_cli::killedImport_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 4; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void tst_archive_cli::killedImport()
{
    QFETCH(int, seed);
    QRandomGenerator random(seed);
    QProcess child;
    child.start(QStringLiteral(NRV508_CLI), {"archive", "--db", db(), "import", m_files.path()});
    QVERIFY(child.waitForStarted());
    // Somewhere between opening the archive and the end of the import.
    QTest::qWait(random.bounded(20, 1500));
    // An import that already ended has no process id left (0), and kill(0) would hit this
    // whole process group: kill only a child that still runs.
    const qint64 pid = child.processId();
    if (child.state() == QProcess::Running && pid > 0) ::kill(pid, SIGKILL);
    QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(60000));

    QCOMPARE(query(db(), "PRAGMA integrity_check"), QStringList{"ok"});
    const QStringList archived = checkComplete();
    // Every file archived whole, in the order given, none skipped.
    const QStringList files = QDir(m_files.path()).entryList({"*.txt"}, QDir::Files, QDir::Name);
    QCOMPARE(archived, files.mid(0, archived.size()));
    // The next import takes the rest.
    const Run rest = cli({"archive", "--db", db(), "import", m_files.path()});
    QCOMPARE(rest.status, 0);
    QCOMPARE(checkComplete(), files);
}

void tst_archive_cli::fullDisk()
{
    // A file-size limit stands in for a full disk; ignoring SIGXFSZ turns it into a write error.
    const QString limitKb = QString::number(400);
    const QString script =
        QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limitKb.toInt() * 2);
    QProcess child;
    child.start("/bin/sh", {"-c", script, QStringLiteral(NRV508_CLI), "archive", "--db", db(),
                            "import", m_files.path()});
    QVERIFY(child.waitForFinished(180000));
    QCOMPARE(child.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(err.contains(db()) && err.contains("full"), qPrintable(err));
    QVERIFY(child.readAllStandardOutput().startsWith("imported "));

    QCOMPARE(query(db(), "PRAGMA integrity_check"), QStringList{"ok"});
    const QStringList archived = checkComplete();
    QVERIFY(archived.size() > 0 && archived.size() < 400);
    // Usable again once there is room.
    QCOMPARE(cli({"archive", "--db", db(), "import", m_files.path()}).status, 0);
    QCOMPARE(checkComplete().size(), 400);
}

void tst_archive_cli::downloadArchived_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("store") << 1 << "store.txt";
    QTest::newRow("logger page 2") << 4 << "logger2.txt";
    QTest::newRow("single logger page 0") << 6 << "single0.txt";
    QTest::newRow("tightness") << 11 << "tightness.txt";
}

// What the emulator sent is in the archive, byte for byte the file the download wrote, and a
// second identical download is kept once.
void tst_archive_cli::downloadArchived()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    QFETCH(int, mode);
    QFETCH(QString, expected);
    EmulatorProcess instrument;
    QString error;
    QVERIFY2(instrument.start({"--fast"}, &error), qPrintable(error));
    qputenv("NRV508_ARCHIVE", db().toLocal8Bit());
    const QString out = m_dir->filePath("out.txt");
    for (int pass = 0; pass < 2; ++pass) {
        const Run run = cli({"download", "--port", instrument.device(), "--mode",
                             QString::number(mode), "--out", out, "--archive"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
    }
    const Run got = cli({"archive", "--db", db(), "get", "1"});
    QCOMPARE(got.status, 0);
    QCOMPARE(got.out, read(expected));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(got.out, written.readAll());
    Archive archive;
    QVERIFY(archive.open(db(), &error));
    QCOMPARE(archive.count({}, &error).value_or(-1), 1);
    QCOMPARE(archive.entry(1, &error)->source, instrument.device());
    QCOMPARE(archive.entry(1, &error)->origin, QStringLiteral("port"));
}

void tst_archive_cli::liveArchived()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    EmulatorProcess instrument;
    QString error;
    QVERIFY2(instrument.start({"--baud", "38400", "--interval", "1300"}, &error),
             qPrintable(error));
    qputenv("NRV508_ARCHIVE", db().toLocal8Bit());
    const Run run = cli(
        {"live", "--port", instrument.device(), "--baud", "38400", "--count", "3", "--archive"});
    QVERIFY2(run.status == 0, run.err.constData());
    Archive archive;
    QVERIFY(archive.open(db(), &error));
    const auto entry = archive.entry(1, &error);
    QVERIFY2(entry, qPrintable(error));
    QVERIFY(entry->live() && entry->ended.isValid());
    QCOMPARE(entry->records, 3);
    QStringList header;
    QList<ReadingRows::Row> rows;
    QVERIFY(archive.readings(1, &header, &rows, &error));
    // Each reading as it was printed: the CO panel of the n-th "txtRCo=" line.
    const QList<QByteArray> lines = run.out.split('\n');
    QStringList printedCo;
    for (const QByteArray &line : lines)
        if (line.startsWith("txtRCo=")) printedCo << QString::fromLatin1(line.mid(7));
    QStringList archivedCo;
    for (const ReadingRows::Row &row : rows)
        archivedCo << row.cells[header.indexOf("CO")];
    QCOMPARE(archivedCo, printedCo);
    QCOMPARE(archive.count({}, &error).value_or(-1), 1);
}

QTEST_GUILESS_MAIN(tst_archive_cli)
#include "tst_archive_cli.moc"
