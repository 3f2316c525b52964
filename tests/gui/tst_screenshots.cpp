#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "link/ReceiveEvent.h"
#include "tables/frmMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The real main window rendered offscreen in the main modes, after a download from the
// captured streams, saved as PNG files for a reviewer to look at. Nothing is compared pixel by
// pixel; the test fails only when a picture cannot be made.
class TestScreenshots : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void window_data();
    void window();

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

void TestScreenshots::initTestCase()
{
    // Start-up reads the settings file of the working directory: keep it empty of one.
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral(NRV508_SCREENSHOTS)));
}

void TestScreenshots::cleanupTestCase()
{
    QDir::setCurrent(m_previousDir);
}

void TestScreenshots::window_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<int>("browse"); // scroll bar value after the download, -1: none

    QTest::newRow("real") << 0 << "real.txt" << -1;
    QTest::newRow("store") << 1 << "store.txt" << 5;
    QTest::newRow("logger0") << 2 << "logger0.txt" << 5;
    QTest::newRow("single0") << 6 << "single0.txt" << -1;
    QTest::newRow("tightness") << 11 << "tightness.txt" << -1;
    QTest::newRow("startup") << -1 << "" << -1;
}

void TestScreenshots::window()
{
    QFETCH(int, mode);
    QFETCH(QString, stream);
    QFETCH(int, browse);

    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.pauses.setWait(port.pauseFunction());
    program.startUp();
    frmMain window(program);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    if (mode >= 0) program.modes.switchTo(mode);
    if (!stream.isEmpty()) {
        QFile file(QStringLiteral(NRV508_TEST_DATA "/streams/") + stream);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        takeReceived(program.model, file.readAll());
        program.reception.run();
        program.model.notify();
    }
    if (browse >= 0) program.commands.browse(browse);
    QCoreApplication::processEvents();

    const QPixmap shot = window.grab();
    QVERIFY(!shot.isNull());
    const QString path = QStringLiteral(NRV508_SCREENSHOTS "/%1.png")
                             .arg(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(shot.save(path), qPrintable(path));
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
