#include "ChartPages.h"
#include "files/DataFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// nrv508-cli chart, end to end on data files written by the program's own writer.
class TestChartCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chart_data();
    void chart();
    void refused_data();
    void refused();

private:
    QString write(const QString &name, ChartPage &page);
    QTemporaryDir m_dir;
    QHash<QString, QString> m_files;
};

namespace {
struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A decimal-comma locale must change nothing in what is read or printed.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(NRV508_CLI), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLatin1(p.readAllStandardError())};
}

QString pointLines(const QStringList &points)
{
    QString out;
    for (int i = 0; i < points.size(); ++i)
        out += QStringLiteral("POINT %1 %2\n").arg(i).arg(points[i]);
    return out;
}
} // namespace

QString TestChartCli::write(const QString &name, ChartPage &page)
{
    const QString path = m_dir.filePath(name);
    QString error;
    if (!DataFile::write(page.m, path, &error)) qFatal("%s", qPrintable(error));
    return path;
}

void TestChartCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ChartPage logger(3);
    logger.fill("CO", {"12.4", "OFL", "25.6", "", "-3.5"});
    logger.fill("Temp2", {"180.5", "ERR", "179.9"});
    for (int r = 1; r <= 100; ++r)
        logger.table().setText(r, 13, QStringLiteral("'C"));
    m_files["logger"] = write("logger1.txt", logger);

    ChartPage single(8);
    single.m.txtSLUnit.caption = QStringLiteral("mbar");
    single.fill("Value1", {"-0.25", "OPEN", "3.5"});
    m_files["single"] = write("single2.txt", single);

    ChartPage store(1);
    store.fill("CO", {"12"});
    m_files["store"] = write("store.txt", store);
    ChartPage tightness(11);
    m_files["tightness"] = write("tightness.txt", tightness);
}

void TestChartCli::chart_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("expected");

    QTest::newRow("worked example")
        << "logger"
        << "CO"
        << "caption=Logger Data _ CO (ppm)\n"
           "MeasureTitle=Logger [ CO ]\n"
           "Page=Page : 1\n"
           "Unit=Y Axis(Unit) : ppm\n"
           "ytitle=(ppm)\n"
           "xmin=auto\nxmax=100\nymin=-4\nymax=27\n" +
               pointLines(QStringList{"12.4", "gap", "25.6", "gap", "-3.5"} + gaps(95));
    // The unit comes from the file's first record, as the open command shows it.
    QTest::newRow("temperature") << "logger"
                                 << "Temp2"
                                 << "caption=Logger Data _ Temp2\n"
                                    "MeasureTitle=Logger [ Temp2 ]\n"
                                    "Page=Page : 1\n"
                                    "Unit=Y Axis(Unit) : 'C\n"
                                    "ytitle=('C)\n"
                                    "xmin=auto\nxmax=100\nymin=0\nymax=181\n" +
                                        pointLines(QStringList{"180.5", "gap", "179.9"} + gaps(97));
    QTest::newRow("Single Logger") << "single"
                                   << "Value1"
                                   << "caption=Single Logger Data _ Value1\n"
                                      "MeasureTitle=SingleLogger [ Value1 ]\n"
                                      "Page=Page : 2\n"
                                      "Unit=Y Axis(Unit) : mbar\n"
                                      "ytitle=(mbar)\n"
                                      "xmin=1\nxmax=30\nymin=auto\nymax=5\n" +
                                          pointLines(QStringList{"-0.25", "gap", "3.5"} + gaps(27));
    QTest::newRow("Single Logger, all gaps") << "single"
                                             << "Value2"
                                             << "caption=Single Logger Data _ Value2\n"
                                                "MeasureTitle=SingleLogger [ Value2 ]\n"
                                                "Page=Page : 2\n"
                                                "Unit=Y Axis(Unit) : mbar\n"
                                                "ytitle=(mbar)\n"
                                                "xmin=1\nxmax=30\nymin=auto\nymax=auto\n" +
                                                    pointLines(gaps(30));
}

void TestChartCli::chart()
{
    QFETCH(QString, file);
    QFETCH(QString, quantity);
    const Run run = cli({"chart", m_files.value(file), "--quantity", quantity});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QTEST(run.out, "expected");
}

void TestChartCli::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err"); // a part of stderr

    QTest::newRow("Store") << QStringList{"store", "--quantity", "CO"} << 1
                           << "Chart: Not Support !\n";
    QTest::newRow("Tightness") << QStringList{"tightness", "--quantity", "CO"} << 1
                               << "\"  Logger  \" menu is disabled";
    QTest::newRow("Logger quantity of a Single Logger page")
        << QStringList{"single", "--quantity", "Pressure"} << 1
        << "\"  Logger  \" menu is disabled";
    QTest::newRow("Single Logger quantity of a Logger page")
        << QStringList{"logger", "--quantity", "Value2"} << 1
        << "\"SingleLogger\" menu is disabled";
    QTest::newRow("unknown quantity")
        << QStringList{"logger", "--quantity", "co"} << 2 << "unknown quantity \"co\"";
    QTest::newRow("no quantity") << QStringList{"logger"} << 2 << "usage:";
    QTest::newRow("missing file") << QStringList{"nothere.txt", "--quantity", "CO"} << 1
                                  << "nothere.txt";
}

void TestChartCli::refused()
{
    QFETCH(QStringList, args);
    const QString file = args.takeFirst();
    const Run run = cli(QStringList{"chart", m_files.value(file, m_dir.filePath(file))} + args);
    QTEST(run.status, "status");
    QFETCH(QString, err);
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(TestChartCli)
#include "tst_chartcli.moc"
