// The progress window follows the model: opened by the receive timer, closed by the reception
// pass or by the user, with the main window taking no input while it is open.

#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "link/ProgressWindow.h"
#include "link/frmSplash.h"
#include "tables/Modes.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class TestFrmSplash : public QObject {
    Q_OBJECT
private slots:
    void layoutOfTheDesign();
    void followsTheTransfer();
    void userMayCloseItAndTheNextTickReopensIt();
};

void TestFrmSplash::layoutOfTheDesign()
{
    ScreenModel model;
    QWidget main;
    frmSplash splash(model, &main);
    openProgressWindow(model);
    splash.sync();

    QVERIFY(splash.isVisible());
    QCOMPARE(splash.windowTitle(), QStringLiteral("Communication..."));
    QCOMPARE(splash.size(), QSize(284, 60)); // 4260 by 900 twips
    auto *label = splash.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Wait . . ."));
    QCOMPARE(label->geometry(), QRect(88, 24, 105, 17));
    QCOMPARE(label->font().family(), QStringLiteral("Tahoma"));
    auto *image = splash.findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(40, 24, 31, 21));
    QVERIFY(!image->pixmap().isNull());
    // A window of its own: disabling the main window leaves it readable.
    main.setEnabled(false);
    QVERIFY(splash.isEnabled());
}

void TestFrmSplash::followsTheTransfer()
{
    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.pauses.setWait(port.pauseFunction());
    program.startUp();
    program.modes.switchTo(Store);
    program.transfer.setTimer3Interval(3600 * 1000);
    QWidget main;
    frmSplash splash(program.model, &main);
    connect(&program.model, &ScreenModel::changed, &splash, &frmSplash::sync);

    program.transfer.startStop();
    port.receive("<BTInstReading\n\r");
    QVERIFY(!splash.isVisible());
    program.transfer.onTimer3();
    QVERIFY(splash.isVisible());
    QVERIFY(!program.model.frmMain.enabled);
    program.transfer.onTimer3(); // the pass closes it
    QVERIFY(!splash.isVisible());
    QVERIFY(program.model.frmMain.enabled);
}

void TestFrmSplash::userMayCloseItAndTheNextTickReopensIt()
{
    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.pauses.setWait(port.pauseFunction());
    program.startUp();
    program.modes.switchTo(LoggerPage0);
    program.transfer.setTimer3Interval(3600 * 1000);
    QWidget main;
    frmSplash splash(program.model, &main);
    connect(&program.model, &ScreenModel::changed, &splash, &frmSplash::sync);
    program.transfer.startStop();
    port.receive("<BTInstReading\n\r");
    program.transfer.onTimer3();
    QVERIFY(splash.isVisible());

    QSignalSpy changes(&program.model, &ScreenModel::changed);
    QVERIFY(splash.close());
    QVERIFY(!program.model.frmSplash.visible);
    QVERIFY(program.model.frmMain.enabled);
    QVERIFY(changes.count() > 0);

    port.receive("\rmodel=\"NRV508\"\n");
    program.transfer.onTimer3();
    QVERIFY(splash.isVisible());
    QVERIFY(!program.model.frmMain.enabled);
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
