#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The link settings and their file, through the core the windows and the command line share.
class TestCommSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void load_data();
    void load();
    void startUpLoadsTheFileOfTheWorkingDirectory();
    void save_data();
    void save();
    void failedSaveKeepsTheOldFileAndSaysWhy();
    void prepareSetup_data();
    void prepareSetup();
    void currentChoice_data();
    void currentChoice();
    void applyReachesThePort();

private:
    void writeSettingsFile(const QByteArray &bytes);
    QByteArray settingsFile() const;

    QTemporaryDir *m_dir = nullptr;
    QString m_previousDir;
    FakePort *m_port = nullptr;
    RecordingMessages *m_messages = nullptr;
    Program *m_program = nullptr;
};

void TestCommSettings::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_port = new FakePort;
    m_messages = new RecordingMessages;
    m_program = new Program(*m_port, *m_messages);
    m_program->pauses.setWait(m_port->pauseFunction());
}

void TestCommSettings::cleanup()
{
    delete m_program;
    delete m_messages;
    delete m_port;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
}

void TestCommSettings::writeSettingsFile(const QByteArray &bytes)
{
    QFile file(QString::fromLatin1(CommSettings::kFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestCommSettings::settingsFile() const
{
    QFile file(QString::fromLatin1(CommSettings::kFileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestCommSettings::load_data()
{
    QTest::addColumn<QByteArray>("file"); // "<none>": no file at all
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<int>("portOnPort");
    QTest::addColumn<QString>("settingsOnPort");

    // The port starts at COM5, 19200 so that a value left unapplied is seen as such.
    QTest::newRow("no file: defaults, port untouched")
        << QByteArray("<none>") << 2 << 1 << 1 << 5 << "19200,N,8,1";
    QTest::newRow("empty file counts as missing")
        << QByteArray("") << 2 << 1 << 1 << 5 << "19200,N,8,1";
    QTest::newRow("defaults file")
        << QByteArray("2\r\n1\r\n1\r\n") << 2 << 1 << 1 << 1 << "9600,N,8,1";
    QTest::newRow("com3 38400 bluetooth")
        << QByteArray("4\r\n3\r\n2\r\n") << 4 << 3 << 2 << 3 << "38400,N,8,1";
    QTest::newRow("4800 com6") << QByteArray("1\r\n6\r\n1\r\n") << 1 << 6 << 1 << 6 << "4800,N,8,1";
    QTest::newRow("out of range kept, not applied")
        << QByteArray("9\r\n7\r\n1\r\n") << 9 << 7 << 1 << 5 << "19200,N,8,1";
    QTest::newRow("zero and negative kept, not applied")
        << QByteArray("0\r\n-1\r\n3\r\n") << 0 << -1 << 3 << 5 << "19200,N,8,1";
    QTest::newRow("lines ending LF only")
        << QByteArray("3\n2\n2\n") << 3 << 2 << 2 << 2 << "19200,N,8,1";
    QTest::newRow("last line without ending")
        << QByteArray("1\r\n4\r\n2") << 1 << 4 << 2 << 4 << "4800,N,8,1";
    QTest::newRow("one line: the rest default")
        << QByteArray("3\r\n") << 3 << 1 << 1 << 1 << "19200,N,8,1";
    QTest::newRow("two lines: link defaults")
        << QByteArray("4\r\n2\r\n") << 4 << 2 << 1 << 2 << "38400,N,8,1";
    QTest::newRow("unreadable speed defaults, the rest read")
        << QByteArray("fast\r\n4\r\n2\r\n") << 2 << 4 << 2 << 4 << "9600,N,8,1";
    QTest::newRow("beyond 16 bits is unreadable")
        << QByteArray("1\r\n70000\r\n2\r\n") << 1 << 1 << 2 << 1 << "4800,N,8,1";
    QTest::newRow("blank middle line defaults")
        << QByteArray("1\r\n\r\n2\r\n") << 1 << 1 << 2 << 1 << "4800,N,8,1";
    QTest::newRow("decimal point is unreadable")
        << QByteArray("3.5\r\n2\r\n1\r\n") << 2 << 2 << 1 << 2 << "9600,N,8,1";
    QTest::newRow("binary rubbish")
        << QByteArray("\x01\xff\r\n\x00\r\n", 7) << 2 << 1 << 1 << 1 << "9600,N,8,1";
}

void TestCommSettings::load()
{
    QFETCH(QByteArray, file);
    if (file != "<none>") writeSettingsFile(file);
    m_port->setPortNumber(5);
    m_port->setSettings(QStringLiteral("19200,N,8,1"));

    m_program->comm.load();

    const ScreenModel &m = m_program->model;
    QTEST(int(m.BaudIndex), "baudIndex");
    QTEST(int(m.PortNumber), "portNumber");
    QTEST(int(m.LinkType), "linkType");
    QTEST(m_port->portNumber(), "portOnPort");
    QTEST(m_port->settings(), "settingsOnPort");
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_messages->count(), 0);
}

void TestCommSettings::startUpLoadsTheFileOfTheWorkingDirectory()
{
    writeSettingsFile("3\r\n2\r\n2\r\n");
    m_program->startUp();
    QCOMPARE(m_program->model.PortNumber, 2);
    QCOMPARE(m_port->settings(), QStringLiteral("19200,N,8,1"));
    QCOMPARE(m_program->model.LinkType, 2);
    QCOMPARE(m_program->model.CurrentMode, 0);
    QVERIFY(m_port->log().isEmpty()); // the port stays closed
}

void TestCommSettings::save_data()
{
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<QByteArray>("existing"); // "<none>": no file yet
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("defaults") << 2 << 1 << 1 << QByteArray("<none>")
                              << QByteArray("2\r\n1\r\n1\r\n");
    QTest::newRow("replaces a longer file")
        << 4 << 3 << 2 << QByteArray("1\r\n1\r\n1\r\nmore text that goes\r\n")
        << QByteArray("4\r\n3\r\n2\r\n");
    QTest::newRow("out of range written back")
        << 9 << 7 << 1 << QByteArray("9\r\n7\r\n1\r\n") << QByteArray("9\r\n7\r\n1\r\n");
    QTest::newRow("negative with a minus sign")
        << -3 << 1 << 2 << QByteArray("") << QByteArray("-3\r\n1\r\n2\r\n");
}

void TestCommSettings::save()
{
    QFETCH(int, baudIndex);
    QFETCH(int, portNumber);
    QFETCH(int, linkType);
    QFETCH(QByteArray, existing);
    if (existing != "<none>") writeSettingsFile(existing);
    ScreenModel &m = m_program->model;
    m.BaudIndex = qint16(baudIndex);
    m.PortNumber = qint16(portNumber);
    m.LinkType = qint16(linkType);

    QString error;
    QVERIFY2(m_program->comm.save(&error), qPrintable(error));
    QTEST(settingsFile(), "expected");

    // What was saved is what the next start-up finds.
    m.BaudIndex = m.PortNumber = m.LinkType = 0;
    m_program->comm.load();
    QCOMPARE(int(m.BaudIndex), baudIndex);
    QCOMPARE(int(m.PortNumber), portNumber);
    QCOMPARE(int(m.LinkType), linkType);
}

void TestCommSettings::failedSaveKeepsTheOldFileAndSaysWhy()
{
    // A directory in the file's place makes the write fail whoever runs the test.
    QVERIFY(QDir().mkdir(QString::fromLatin1(CommSettings::kFileName)));
    m_program->comm.accept(CommChoice{4, 3, 2});

    QCOMPARE(m_messages->count(), 1);
    const RecordingMessages::Box box = m_messages->boxes().first();
    QCOMPARE(box.title, QStringLiteral("Communication Setup"));
    QVERIFY2(box.text.contains(QLatin1String("set508_21.txt")), qPrintable(box.text));
    QCOMPARE(box.icon, MessageIcon::Exclamation);
    // The settings still apply for this run.
    QCOMPARE(m_port->portNumber(), 3);
    QVERIFY(QFileInfo(QString::fromLatin1(CommSettings::kFileName)).isDir());
}

void TestCommSettings::prepareSetup_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("startCaption");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("open port: stop request, then close")
        << true << "Stop" << QStringList{"wait 5", "send QTP<0A><0D>", "wait 15", "close"};
    QTest::newRow("closed port: nothing sent") << false << "Stop" << QStringList{};
    QTest::newRow("open port, idle")
        << true << "Start" << QStringList{"wait 5", "send QTP<0A><0D>", "wait 15", "close"};
}

void TestCommSettings::prepareSetup()
{
    QFETCH(bool, portOpen);
    QFETCH(QString, startCaption);
    m_port->setOpenQuietly(portOpen);
    m_program->model.cmdStart.caption = startCaption;
    QSignalSpy changed(&m_program->model, &ScreenModel::changed);

    m_program->comm.prepareSetup();

    QTEST(m_port->log(), "log");
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_program->model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(changed.count() >= 1);
}

void TestCommSettings::currentChoice_data()
{
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<int>("shownBaud");
    QTest::addColumn<int>("shownPort");
    QTest::addColumn<int>("shownLink");

    QTest::newRow("defaults") << 2 << 1 << 1 << 2 << 1 << 1;
    QTest::newRow("all in range") << 4 << 6 << 2 << 4 << 6 << 2;
    QTest::newRow("lowest") << 1 << 1 << 1 << 1 << 1 << 1;
    QTest::newRow("out of range: initial choices") << 9 << 7 << 1 << 2 << 1 << 1;
    QTest::newRow("zero link type: IRDA") << 3 << 0 << 0 << 3 << 1 << 1;
}

void TestCommSettings::currentChoice()
{
    QFETCH(int, baudIndex);
    QFETCH(int, portNumber);
    QFETCH(int, linkType);
    ScreenModel &m = m_program->model;
    m.BaudIndex = qint16(baudIndex);
    m.PortNumber = qint16(portNumber);
    m.LinkType = qint16(linkType);

    const CommChoice shown = m_program->comm.currentChoice();
    QTEST(shown.baudIndex, "shownBaud");
    QTEST(shown.portNumber, "shownPort");
    QTEST(shown.linkType, "shownLink");
}

void TestCommSettings::applyReachesThePort()
{
    m_program->comm.apply(CommChoice{1, 4, 2});
    QCOMPARE(m_port->portNumber(), 4);
    QCOMPARE(m_port->settings(), QStringLiteral("4800,N,8,1"));
    QCOMPARE(m_program->model.LinkType, 2);
    QCOMPARE(settingsFile(), QByteArray("<missing>")); // applying alone saves nothing
}

QTEST_GUILESS_MAIN(TestCommSettings)
#include "tst_commsettings.moc"
