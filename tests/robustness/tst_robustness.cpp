// Input from the port, from files and from the settings file that no instrument or save of
// ours would produce: none of it may crash the program, hang it, or spoil a good record.
#include "Streams.h"
#include "files/DataFile.h"
#include "files/SafeWrite.h"
#include "link/CommSettings.h"
#include "tables/Modes.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

namespace {
QByteArray loggerPage(const QString &coPrefix)
{
    QStringList lines = {"major_version=\"1\"", "minor_version=\"0\""};
    for (int a = 0; a < 100; ++a)
        lines << QStringLiteral("<inst_data address=\"%1\"").arg(a)
              << QStringLiteral("CO=\"%1%2\"").arg(coPrefix).arg(a) << "O2=\"3.1\"";
    return stream(lines);
}

// A literal with its NUL bytes.
template <size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, int(N - 1));
}

QByteArray noise(int size, unsigned seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = char(seed >> 16);
    }
    return bytes;
}
} // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void noiseThenAGoodStream_data();
    void noiseThenAGoodStream();
    void tenMegabyteBurst();
    void nulBytesInsideValues();
    void settingsNoiseFallsBackToDefaults_data();
    void settingsNoiseFallsBackToDefaults();
    void failedSettingsSaveKeepsFile_data();
    void failedSettingsSaveKeepsFile();
};

void TestRobustness::noiseThenAGoodStream_data()
{
    QTest::addColumn<QByteArray>("junk");
    QTest::newRow("binary noise") << noise(200000, 7);
    QTest::newRow("NUL bytes") << QByteArray(100000, '\0');
    QTest::newRow("1 MB line without an end") << QByteArray(1 << 20, 'x');
    QTest::newRow("closing lines only") << QByteArray("</BTInstReading>\n\r").repeated(1000);
    QTest::newRow("quotes only") << QByteArray("\"\"\"\n\r").repeated(5000);
    QTest::newRow("records without addresses")
        << QByteArray("<inst_data CO=\"9\"\n\r").repeated(5000);
}

// Whatever came before, the next complete page lands whole and as sent.
void TestRobustness::noiseThenAGoodStream()
{
    QFETCH(QByteArray, junk);
    for (int mode :
         {int(Real), int(Store), int(LoggerPage0), int(SingleLoggerPage0), int(Tightness)}) {
        Core c(mode);
        c.pass(junk);
        c.pass(junk.left(junk.size() / 3));
        if (mode != LoggerPage0) continue;
        c.pass(QByteArray("\n\r") + loggerPage("c"));
        for (int a = 0; a < 100; ++a)
            QCOMPARE(c.m.MSFlexGrid1.text(a + 1, 4), QStringLiteral("c%1").arg(a));
        QVERIFY(c.m.frmMain.enabled);
    }
}

void TestRobustness::tenMegabyteBurst()
{
    Core c(LoggerPage0);
    QByteArray burst;
    int round = 0;
    while (burst.size() < 10 * 1024 * 1024)
        burst += loggerPage(QStringLiteral("r%1-").arg(round++));
    c.pass(burst);
    // Only the last of the streams in one burst is shown.
    QCOMPARE(c.m.MSFlexGrid1.text(100, 4), QStringLiteral("r%1-99").arg(round - 1));
    QVERIFY(c.m.ReceiveBuffer.isEmpty());
    QVERIFY(c.m.tokens.StreamText.size() < 16);
}

// A NUL inside a value is kept as a character, and a saved file reads it back.
void TestRobustness::nulBytesInsideValues()
{
    Core d(Store);
    d.pass(raw("<inst_data address=\"1\"\n\rCO=\"a\000b\"\n\r</BTInstReading>\n\r"));
    QCOMPARE(d.m.MSFlexGrid1.text(2, 4), QString::fromLatin1("a\0b", 3));
    DataFile::Contents contents;
    QString error;
    QVERIFY(DataFile::parse(DataFile::serialize(d.m), "x", &contents, &error));
    Core e(Store);
    DataFile::apply(contents, e.m);
    QCOMPARE(e.m.MSFlexGrid1.text(2, 4), QString::fromLatin1("a\0b", 3));
}

void TestRobustness::settingsNoiseFallsBackToDefaults_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("expected"); // BaudIndex, PortNumber, LinkType
    QTest::addColumn<QString>("port");        // port number and settings the port ends with
    // Too large to be a settings file: as with none, the port is left as it was.
    QTest::newRow("megabyte lines")
        << QByteArray(1 << 20, '7') + "\r\n" + QByteArray(1 << 20, '3') + "\r\n"
        << QList<int>{2, 1, 1} << "4 4800,N,8,1";
    QTest::newRow("binary noise") << noise(5000, 3) << QList<int>{2, 1, 1} << "4 4800,N,8,1";
    QTest::newRow("speed in range, port not")
        << QByteArray("3\r\n0\r\n2\r\n") << QList<int>{3, 0, 2} << "4 19200,N,8,1";
}

void TestRobustness::settingsNoiseFallsBackToDefaults()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, expected);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QFile f(QString::fromLatin1(CommSettings::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    Core c(Real);
    c.port.setPortNumber(4); // as a value out of range must leave it
    c.port.setSettings("4800,N,8,1");
    CommSettings settings(c.m, c.port, c.program.pauses, c.messages);
    settings.load();
    QDir::setCurrent(previous);
    QCOMPARE(QList<int>({c.m.BaudIndex, c.m.PortNumber, c.m.LinkType}), expected);
    // Values out of range stay in the variables but never reach the port.
    QTEST(QStringLiteral("%1 %2").arg(c.port.portNumber()).arg(c.port.settings()), "port");
}

void TestRobustness::failedSettingsSaveKeepsFile_data()
{
    QTest::addColumn<bool>("sizeLimit"); // else the rename fails
    QTest::addColumn<QString>("reason");
    QTest::newRow("file size limit") << true << "File too large";
    QTest::newRow("rename") << false << "Read-only file system";
}

// "OK" in the Communication window on a full disk: the settings stay in use, the file keeps
// its old bytes, and a message says where and why.
void TestRobustness::failedSettingsSaveKeepsFile()
{
    QFETCH(bool, sizeLimit);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QByteArray old = "1\r\n3\r\n2\r\n";
    QFile f(QString::fromLatin1(CommSettings::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    f.close();
    Core c(Real);
    CommSettings settings(c.m, c.port, c.program.pauses, c.messages);

    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    if (sizeLimit) {
        rlimit small = saved;
        small.rlim_cur = 4;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    } else {
        SafeWrite::setFaultInjector(
            [](SafeWrite::Step step) { return step == SafeWrite::Step::Rename ? EROFS : 0; });
    }
    settings.accept(CommChoice{4, 5, 1});
    setrlimit(RLIMIT_FSIZE, &saved);
    SafeWrite::setFaultInjector({});
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray kept = f.readAll();
    const QStringList files = QDir().entryList(QDir::Files | QDir::Hidden);
    QDir::setCurrent(previous);

    QCOMPARE(kept, old);
    QCOMPARE(files, QStringList{CommSettings::kFileName});
    QCOMPARE(c.messages.shown.size(), 1);
    QVERIFY2(c.messages.shown[0].startsWith("Communication Setup: ") &&
                 c.messages.shown[0].contains(CommSettings::kFileName) &&
                 c.messages.shown[0].contains(reason),
             qPrintable(c.messages.shown[0]));
    QCOMPARE(QList<int>({c.m.BaudIndex, c.m.PortNumber}), QList<int>({4, 5}));
    QCOMPARE(c.port.settings(), QString("38400,N,8,1"));
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
