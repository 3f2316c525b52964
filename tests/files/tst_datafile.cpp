#include "Streams.h"
#include "TestFiles.h"
#include "files/DataFile.h"
#include "files/SafeWrite.h"
#include "tables/Modes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
QList<QByteArray> lines(const QByteArray &bytes)
{
    QList<QByteArray> out = bytes.split('\n');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

// Fills every cell of the mode's table and every panel a file carries with a distinct text.
void fill(ScreenModel &m, int mode)
{
    const Family f = familyOf(mode);
    Grid &t = f == Family::SingleLogger ? m.MSFlexGrid3
              : f == Family::Tightness  ? m.MSFlexGrid2
                                        : m.MSFlexGrid1;
    for (int r = 1; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            t.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    for (const char *p :
         {"txtSLMeasure", "txtSLDate", "txtSLTime", "txtSLSample", "txtSLUnit", "txtSSample"})
        m.element(p)->caption = QString(p) + ", with comma";
    m.txtVersion.caption = "1.23";
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void storeRestoresPanels();
    void loggerTrailerAndCaption();
    void tightnessFile();
    void shortAndLongFiles();
    void outOfRangeModeLeavesTables_data();
    void outOfRangeModeLeavesTables();
    void unreadableFilesRefused_data();
    void unreadableFilesRefused();
    void handEditedLines_data();
    void handEditedLines();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void longNamesAndStaleTemporaries();
    void endlessInputsStopAtTheLimit_data();
    void endlessInputsStopAtTheLimit();
};

void TestDataFile::roundTrip_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("store") << 1 << 767;
    QTest::newRow("logger page 2") << 4 << 1518;
    QTest::newRow("single logger page 3") << 9 << 100;
    QTest::newRow("tightness") << 11 << 309;
}

void TestDataFile::roundTrip()
{
    QFETCH(int, mode);
    QFETCH(int, lineCount);
    Core a(mode);
    fill(a.m, mode);
    const QByteArray bytes = DataFile::serialize(a.m);
    const QList<QByteArray> ls = lines(bytes);
    QCOMPARE(ls.size(), lineCount);
    QCOMPARE(ls.first(), QByteArray("\"") + QByteArray::number(mode) + "\"\r");
    QVERIFY(bytes.endsWith("\r\n"));
    for (const QByteArray &l : ls)
        QVERIFY(l.startsWith('"') && l.endsWith("\"\r"));
    // The writer leaves the table's current cell on the last cell it wrote.
    if (mode == Tightness)
        QCOMPARE(QList<int>({a.m.MSFlexGrid2.currentRow, a.m.MSFlexGrid2.currentColumn}),
                 QList<int>({50, 5}));

    QTemporaryDir dir;
    const QString path = dir.filePath("f.txt");
    QString error;
    QVERIFY2(DataFile::write(a.m, path, &error), qPrintable(error));
    QCOMPARE(readFile(path), bytes);

    Core b(Real);
    DataFile::Contents contents;
    QVERIFY2(DataFile::load(path, &contents, &error), qPrintable(error));
    DataFile::apply(contents, b.m);
    QCOMPARE(b.m.CurrentMode, qint16(mode));
    QCOMPARE(DataFile::serialize(b.m), bytes);
}

void TestDataFile::storeRestoresPanels()
{
    Core a(Store);
    a.pass(stream({"major_version=\"1\"", "minor_version=\"9\"", "<inst_data address=\"0\"",
                   "time=\"10:00\"", "CO=\"\"", "O2=\"4,5\"", "fuel_type=\"Gas\"",
                   "temperature_unit=\"F\"", "pressure_unit=\"hPa\""}));
    Core b(LoggerPage0);
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(DataFile::serialize(a.m), "x", &contents, &error));
    DataFile::apply(contents, b.m);
    // A comma belongs to the value.
    const QStringList panels{"txtSAdd2=0",    "txtSO2=4,5",     "txtSCo=",
                             "txtSFuel=Gas",  "labST1Unit='F",  "labST2Unit='F",
                             "labSPUnit=hPa", "txtVersion=1.9", "FrameStore=Store Mode Data"};
    QCOMPARE(captionsOf(b.m, panels), panels);
    QVERIFY(!b.m.txtLFuel.visible && !b.m.txtSSample.visible && !b.m.Label25.visible);
    QCOMPARE(b.m.MSFlexGrid1.rowCount(), 51);
}

void TestDataFile::loggerTrailerAndCaption()
{
    Core a(LoggerPage2);
    fill(a.m, LoggerPage2);
    a.m.txtSSample.caption = "00:05:00";
    const QByteArray bytes = DataFile::serialize(a.m);
    const QList<QByteArray> ls = lines(bytes);
    QCOMPARE(ls.first(), QByteArray("\"4\"\r"));
    QCOMPARE(ls[ls.size() - 2], QByteArray("\"1.23\"\r"));
    QCOMPARE(ls.last(), QByteArray("\"00:05:00\"\r"));

    Core b(Store);
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(bytes, "x", &contents, &error));
    DataFile::apply(contents, b.m);
    QCOMPARE(b.m.CurrentMode, qint16(4));
    const QStringList panels{"FrameStore=Logger Mode Data", "txtSSample=00:05:00", "txtLFuel=r1c3"};
    QCOMPARE(captionsOf(b.m, panels), panels);
    QVERIFY(b.m.cmdChart.enabled);
    QVERIFY(b.m.txtLFuel.visible && b.m.txtSSample.visible && b.m.Label25.visible);
    QCOMPARE(b.m.HScroll1Max, 99); // every record of the page can be browsed
}

void TestDataFile::tightnessFile()
{
    Core a(Tightness);
    fill(a.m, Tightness);
    Core b(SingleLoggerPage0);
    b.m.MSFlexGrid3.setText(4, 1, "kept");
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(DataFile::serialize(a.m), "x", &contents, &error));
    DataFile::apply(contents, b.m);
    QVERIFY(!b.m.cmdChart.enabled);
    QVERIFY(b.m.FrameSL.visible);
    QCOMPARE(b.m.FrameSL.caption, QString("Tightness Mode Data"));
    for (const char *name : {"Label26", "Label27", "Label28", "Label37", "txtSLDate", "txtSLTime",
                             "txtSLSample", "txtSLUnit"})
        QVERIFY2(!b.m.element(name)->visible, name);
    QVERIFY(b.m.MSFlexGrid2.visible());
    QVERIFY(!b.m.MSFlexGrid3.visible());
    QCOMPARE(b.m.MSFlexGrid3.text(4, 1), QString("kept"));
    QCOMPARE(b.m.MSFlexGrid2.text(50, 5), QString("r50c5"));
}

void TestDataFile::shortAndLongFiles()
{
    Core a(Store);
    fill(a.m, Store);
    const QList<QByteArray> ls = lines(DataFile::serialize(a.m));

    // Cut after its 100th line: 99 table values, the rest empty, the version as it was.
    QByteArray cut;
    for (int i = 0; i < 100; ++i)
        cut += ls[i] + '\n';
    Core b(Store);
    b.m.txtVersion.caption = "before";
    b.m.MSFlexGrid1.setText(30, 3, "stale");
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(cut, "x", &contents, &error));
    DataFile::apply(contents, b.m);
    const QStringList cells{"6,8=r6c8", "6,9=", "30,3="}; // value 99 is row 6, column 8
    QCOMPARE(cellsOf(b.m.MSFlexGrid1, cells), cells);
    QCOMPARE(b.m.txtVersion.caption, QString("before"));

    // Surplus values after the trailer are dropped; every value in the trailer row is a
    // version, so the last one of them stands.
    QByteArray longer = DataFile::serialize(a.m);
    for (int i = 0; i < 40; ++i)
        longer += QByteArray("\"extra") + QByteArray::number(i) + "\"\r\n";
    Core d(Store);
    QVERIFY(DataFile::parse(longer, "x", &contents, &error));
    DataFile::apply(contents, d.m);
    QCOMPARE(d.m.txtVersion.caption, QString("extra13"));
    QCOMPARE(d.m.MSFlexGrid1.text(50, 14), QString("r50c14"));
}

void TestDataFile::outOfRangeModeLeavesTables_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::newRow("0") << QByteArray("\"0\"\r\n\"a\"\r\n");
    QTest::newRow("-1") << QByteArray("\"-1\"\r\n");
    QTest::newRow("12") << QByteArray("\"12\"\r\n\"a\"\r\n");
}

void TestDataFile::outOfRangeModeLeavesTables()
{
    QFETCH(QByteArray, first);
    Core c(Store);
    c.m.MSFlexGrid1.setText(1, 1, "kept");
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(first, "x", &contents, &error));
    DataFile::apply(contents, c.m);
    QCOMPARE(int(c.m.CurrentMode), contents.mode);
    QCOMPARE(c.m.MSFlexGrid1.text(1, 1), QString("kept"));
    QVERIFY(c.m.FrameStore.visible);
}

void TestDataFile::unreadableFilesRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("abc") << QByteArray("\"abc\"\r\n") << "not a data file";
    QTest::newRow("40000") << QByteArray("\"40000\"\r\n") << "not a data file";
    QTest::newRow("only quotes") << QByteArray("\"\"\"\"\"\"\r\n") << "not a data file";
    QTest::newRow("NUL bytes") << QByteArray("\0\0\0\r\n", 5) << "not a data file";
    QTest::newRow("single logger ends early")
        << QByteArray("\"6\"\r\n\"CO\"\r\n\"d\"\r\n") << "ends before";
    QTest::newRow("tightness without panel") << QByteArray("\"11\"\r\n") << "ends before";
}

void TestDataFile::unreadableFilesRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.txt");
    QVERIFY(writeFile(path, bytes));
    DataFile::Contents contents;
    QString error;
    QVERIFY(!DataFile::load(path, &contents, &error));
    QVERIFY2(error.contains(path) && error.contains(reason), qPrintable(error));
}

void TestDataFile::handEditedLines_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("CR LF, last line unended") << QByteArray("\r\n");
}

// A file edited by hand: values without quotes, one with an opening quote only. Whatever the
// editor's line ends, each value is the line's text, and a save writes it quoted again.
void TestDataFile::handEditedLines()
{
    QFETCH(QByteArray, ending);
    QByteArray bytes =
        QByteArray("6|Measure|\"Date\"|\"Time\"|\"Sample|ppm|Add|1|12.5|").replace("|", ending);
    if (QByteArray(QTest::currentDataTag()).contains("unended")) bytes.chop(ending.size());
    Core c(Store);
    DataFile::Contents contents;
    QString error;
    QVERIFY2(DataFile::parse(bytes, "x", &contents, &error), qPrintable(error));
    DataFile::apply(contents, c.m);
    QCOMPARE(c.m.CurrentMode, qint16(6));
    const QList<QByteArray> saved = lines(DataFile::serialize(c.m)).mid(0, 10);
    QCOMPARE(saved,
             QByteArray("\"6\"|\"Measure\"|\"Date\"|\"Time\"|\"Sample\"|\"ppm\"|\"Add\"|\"1\"|"
                        "\"12.5\"|\"\"")
                 .replace('|', "\r|")
                 .append('\r')
                 .split('|'));
    QCOMPARE(c.m.MSFlexGrid3.text(0, 2), QString("12.5"));

    QTemporaryDir dir;
    QVERIFY(!DataFile::load(dir.path(), &contents, &error));
    QVERIFY2(error.contains("directory"), qPrintable(error));
    QVERIFY(!DataFile::load(dir.filePath("missing.txt"), &contents, &error));
    QVERIFY2(error.contains("missing.txt"), qPrintable(error));
}

using SafeWrite::Step;

// fault: the step made to fail (through the writer's seam) or, for "disk", a file-size limit
// that stops the bytes themselves. Either way the save says so, names the file and the
// reason, and leaves the file that was there whole with no temporary beside it.
void TestDataFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file size limit") << "disk" << EFBIG << "File too large";
    QTest::newRow("write") << "write" << ENOSPC << "No space left on device";
    QTest::newRow("sync") << "sync" << EIO << "Input/output error";
    QTest::newRow("close") << "close" << EDQUOT << "Disk quota exceeded";
    QTest::newRow("rename") << "rename" << EXDEV << "Invalid cross-device link";
}

void TestDataFile::failedWriteKeepsOldFile()
{
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("page.txt");
    const QByteArray old = "\"1\"\r\nprevious contents\r\n";
    QVERIFY(writeFile(path, old));
    Core c(LoggerPage0);
    fill(c.m, LoggerPage0);

    const QHash<QString, Step> steps = {{"write", Step::Write},
                                        {"sync", Step::Sync},
                                        {"close", Step::Close},
                                        {"rename", Step::Rename}};
    QList<Step> seen;
    SafeWrite::setFaultInjector([&](Step step) {
        seen << step;
        return steps.value(fault, Step(-1)) == step ? code : 0;
    });
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    if (fault == "disk") {
        rlimit small = saved;
        small.rlim_cur = 4096;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    QString error;
    const bool ok = DataFile::write(c.m, path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    SafeWrite::setFaultInjector({});

    QVERIFY(!ok);
    QVERIFY2(error.contains(path) && error.contains(reason), qPrintable(error));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.txt"});
    if (steps.contains(fault)) QVERIFY(seen.contains(steps[fault]));
    // Without the fault the same save goes through.
    QVERIFY2(DataFile::write(c.m, path, &error), qPrintable(error));
    QCOMPARE(readFile(path), DataFile::serialize(c.m));
}

// A name near the 255-byte limit is replaced like any other (its temporary is short), and
// the temporaries a killed run left beside it are cleared, but only this program's own and
// only those whose writer is gone.
void TestDataFile::longNamesAndStaleTemporaries()
{
    QTemporaryDir dir;
    QProcess finished;
    finished.start("sleep", {"0"});
    QVERIFY(finished.waitForStarted());
    const qint64 gone = finished.processId();
    QVERIFY(finished.waitForFinished());
    QProcess running;
    running.start("sleep", {"30"});
    QVERIFY(running.waitForStarted());
    const QString stale = QStringLiteral(".nrv508-%1-00beef.tmp").arg(gone);
    const QString live = QStringLiteral(".nrv508-%1-00cafe.tmp").arg(running.processId());
    const QStringList others = {".nrv508-notes.tmp", "page.txt.tmp", ".hidden"};
    for (const QString &name : QStringList{stale, live} + others)
        QVERIFY(writeFile(dir.filePath(name), "left over"));

    Core c(Store);
    fill(c.m, Store);
    for (int length : {250, 255}) {
        const QString path = dir.filePath(QString(length - 4, 'n') + ".txt");
        QVERIFY(writeFile(path, "previous"));
        QString error;
        QVERIFY2(DataFile::write(c.m, path, &error), qPrintable(error));
        QCOMPARE(readFile(path), DataFile::serialize(c.m));
    }
    QString error;
    QVERIFY(!DataFile::write(c.m, dir.filePath("no/such/dir/x.txt"), &error));
    QVERIFY2(error.contains("x.txt") && error.contains("No such file"), qPrintable(error));
    running.kill();
    running.waitForFinished();
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeIf([](const QString &name) { return name.endsWith("nnn.txt"); });
    QStringList expected = QStringList{live} + others;
    expected.sort();
    QCOMPARE(left, expected);
}

// A device or a FIFO reports a size of 0: only counting the bytes read stops an endless one.
void TestDataFile::endlessInputsStopAtTheLimit_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("/dev/zero") << "/dev/zero";
    QTest::newRow("endless FIFO") << "fifo";
}

void TestDataFile::endlessInputsStopAtTheLimit()
{
    QFETCH(QString, source);
    QTemporaryDir dir;
    QString path = source;
    QProcess writer;
    if (source == "fifo") {
        path = dir.filePath("endless");
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        writer.start("sh", {"-c", "exec yes '\"2\"' > \"$0\"", path});
        QVERIFY(writer.waitForStarted());
    }
    rusage before;
    getrusage(RUSAGE_SELF, &before);
    DataFile::Contents contents;
    QString error;
    QVERIFY(!DataFile::load(path, &contents, &error));
    rusage after;
    getrusage(RUSAGE_SELF, &after);
    writer.kill();
    writer.waitForFinished();
    QVERIFY2(error.contains(path) && error.contains("too large"), qPrintable(error));
    // The limit is 64 MB: whatever was read beyond it was never kept (ru_maxrss is in KB).
    // AddressSanitizer keeps freed blocks in its quarantine and shadows every byte, so the
    // peak says nothing about this reader there; the normal build checks it.
#ifndef __SANITIZE_ADDRESS__
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 100 * 1024,
             qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
#endif
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
