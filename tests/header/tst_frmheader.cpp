// The "Printer Header" window through its real controls, offscreen, over a scripted port: what
// it shows, typing and "OK", the input it refuses, and both ways out. Also the main window's
// Header button, which opens it modally.

#include "common/FakePort.h"
#include "gui/MainWindowHarness.h"
#include "link/HeaderWriter.h"
#include "link/frmHeader.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A program over a fake port and the header window over it, shown and ready for typing.
struct WindowRig {
    FakePort port;
    RecordingMessages messages;
    Program program{port, messages};
    HeaderWriter &writer = program.header;
    std::unique_ptr<frmHeader> window;

    WindowRig()
    {
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
        program.transfer.setTimer3Interval(3600 * 1000);
        writer.setTimer2Interval(1);
        open();
    }
    void open()
    {
        window = std::make_unique<frmHeader>(writer);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w) qFatal("no %s in the header window", qPrintable(name));
        return w;
    }
    QLineEdit *box(const QString &name) const { return find<QLineEdit>(name); }
    void click(const QString &button)
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    bool awaitCheck()
    {
        QSignalSpy checked(&writer, &HeaderWriter::echoChecked);
        return checked.wait(5000);
    }
};

// Types as a keyboard would, letters beyond ASCII included (keyClicks takes ASCII only).
void type(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QRect placeOf(QWidget *w, QWidget *window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}
} // namespace

class TestFrmHeader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void design();
    void typeAndOk_data();
    void typeAndOk();
    void inputRefusesWhatThePrinterCannotPrint_data();
    void inputRefusesWhatThePrinterCannotPrint();
    void okOnAnEmptyBoxSendsNothing();
    void endWriteClosesAndStopsTheCheck();
    void closeBoxLeavesTheResultForTheNextWindow();
    void headerButtonOpensTheWindowModally();

private:
    QTemporaryDir m_dir;
};

void TestFrmHeader::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
}

// The texts as the user reads them; line 1 above line 2; in each frame the input on top, the
// result under it, "OK" to the right; "End Write" at the bottom right.
void TestFrmHeader::design()
{
    WindowRig rig;
    QWidget *win = rig.window.get();
    QCOMPARE(win->windowTitle(), QStringLiteral("Printer Header"));
    QVERIFY(rig.window->isModal());
    QCOMPARE(rig.find<QGroupBox>("SSFrame1")->title(), QStringLiteral("Printer Address Writer "));
    QCOMPARE(rig.find<QGroupBox>("SSFrame2")->title(), QStringLiteral("Printer Phone No. Writer"));
    QCOMPARE(rig.find<QLabel>("Label1")->text(), QStringLiteral("Line1 :"));
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("Line2 :"));
    QCOMPARE(rig.find<QPushButton>("cmdWrite")->text(), QStringLiteral("End Write"));

    const QRect frame1 = placeOf(rig.find("SSFrame1"), win);
    const QRect frame2 = placeOf(rig.find("SSFrame2"), win);
    QVERIFY(frame1.bottom() <= frame2.top());
    for (const auto &[input, result, ok] :
         {std::tuple{"Text1", "Text3", "cmdPRAdd"}, std::tuple{"Text2", "Text4", "cmdPRPhone"}}) {
        QCOMPARE(rig.find<QPushButton>(ok)->text(), QStringLiteral("OK"));
        const QRect in = placeOf(rig.box(input), win);
        const QRect out = placeOf(rig.box(result), win);
        const QRect button = placeOf(rig.find(ok), win);
        QVERIFY2(in.bottom() < out.top(), input);
        QVERIFY2(button.left() > in.right(), ok);
        QCOMPARE(rig.box(input)->maxLength(), 20);
        QVERIFY(!rig.box(input)->isReadOnly());
        QVERIFY(rig.box(result)->isReadOnly());
    }
    const QRect endWrite = placeOf(rig.find("cmdWrite"), win);
    QVERIFY(endWrite.top() > frame2.bottom());
    QVERIFY(endWrite.right() >= frame2.right() - endWrite.width() / 2);
}

void TestFrmHeader::typeAndOk_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("returnKey"); // Return in the input box instead of the button
    QTest::addColumn<QByteArray>("echo");
    QTest::addColumn<QString>("result");
    QTest::newRow("line 1, OK button")
        << 1 << false << QByteArray("   12 High Street\r\n") << "   12 High Street";
    QTest::newRow("line 2, Return key")
        << 2 << true << QByteArray("   12 High Street\r\n") << "   12 High Street";
    QTest::newRow("echo differs") << 1 << false << QByteArray("   12 HIGH STREET\r\n")
                                  << HeaderWriter::kErrorText;
}

void TestFrmHeader::typeAndOk()
{
    QFETCH(int, line);
    QFETCH(bool, returnKey);
    QFETCH(QByteArray, echo);
    QFETCH(QString, result);
    WindowRig rig;
    QLineEdit *input = rig.box(line == 1 ? "Text1" : "Text2");
    QLineEdit *resultBox = rig.box(line == 1 ? "Text3" : "Text4");
    QTest::keyClicks(input, QStringLiteral("12 High Street"));
    if (returnKey)
        QTest::keyClick(input, Qt::Key_Return);
    else
        rig.click(line == 1 ? "cmdPRAdd" : "cmdPRPhone");

    const QByteArray command = line == 1 ? "QTH0" : "QTH1";
    QCOMPARE(rig.port.sentBytes(), command + "   12 High Street\r\n");
    rig.port.receive(echo);
    QTRY_COMPARE(resultBox->text(), result);
    QCOMPARE(input->text(), QStringLiteral("12 High Street")); // the input stays as typed
}

void TestFrmHeader::inputRefusesWhatThePrinterCannotPrint_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters beyond ASCII") << QStringLiteral("Gr\u00fc\u00dfe 5\u20ac") << "Gre 5";
    QTest::newRow("more than 20 characters") << "0123456789012345678901234"
                                             << "01234567890123456789";
    QTest::newRow("punctuation kept") << "Tel: +1 (555) 0199~"
                                      << "Tel: +1 (555) 0199~";
}

void TestFrmHeader::inputRefusesWhatThePrinterCannotPrint()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    WindowRig rig;
    type(rig.box("Text1"), typed);
    QCOMPARE(rig.box("Text1")->text(), shown);
    rig.click("cmdPRAdd");
    QVERIFY(rig.port.sentBytes().endsWith(shown.toLatin1() + "\r\n"));
}

void TestFrmHeader::okOnAnEmptyBoxSendsNothing()
{
    WindowRig rig;
    rig.click("cmdPRPhone");
    QCOMPARE(rig.port.log(), QStringList());
    QCOMPARE(rig.box("Text4")->text(), QString());
    QVERIFY(rig.box("Text2")->hasFocus());
    QVERIFY(!rig.writer.timer2Active());
}

void TestFrmHeader::endWriteClosesAndStopsTheCheck()
{
    WindowRig rig;
    QTest::keyClicks(rig.box("Text1"), QStringLiteral("ABC"));
    rig.click("cmdPRAdd");
    rig.port.receive("        ABC\r\n");
    rig.program.transfer.onTimer3();
    rig.program.transfer.onTimer3(); // the echo went through the reception pass
    rig.click("cmdWrite");
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(rig.window->result(), int(QDialog::Accepted));
    QVERIFY(!rig.writer.timer2Active());
    QCOMPARE(rig.program.model.HeaderWritePending, qint16(1));
    QCOMPARE(rig.program.model.tokens.StreamText, QByteArray());
}

void TestFrmHeader::closeBoxLeavesTheResultForTheNextWindow()
{
    WindowRig rig;
    QTest::keyClicks(rig.box("Text2"), QStringLiteral("555-0199"));
    rig.click("cmdPRPhone");
    rig.window->close();
    QVERIFY(!rig.window->isVisible());
    QVERIFY(rig.writer.timer2Active());
    rig.port.receive("      555-0199\r\n");
    QVERIFY(rig.awaitCheck());

    rig.open();
    QCOMPARE(rig.box("Text4")->text(), QStringLiteral("      555-0199"));
    QCOMPARE(rig.box("Text2")->text(), QString());
}

// On the infrared link with the port open, the instrument is stopped and the port closed
// before the window opens over the main window.
void TestFrmHeader::headerButtonOpensTheWindowModally()
{
    MainWindowHarness main;
    main.port.setOpenQuietly(true);
    main.port.clearLog();
    bool seen = false;
    QStringList logWhenShown;
    QWidget *parent = nullptr;
    onNextModal<frmHeader>(
        [&](frmHeader *w) {
            logWhenShown = main.port.logWithoutWaits();
            parent = w->parentWidget();
            QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("cmdWrite")),
                              Qt::LeftButton);
        },
        &seen);
    QTest::mouseClick(main.find<QPushButton>("cmdHeader"), Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(logWhenShown, QStringList({"send QTP<0A><0D>", "close"}));
    QCOMPARE(parent, main.window.get());
    QVERIFY(!main.program->header.timer2Active()); // End Write stopped it
}

QTEST_MAIN(TestFrmHeader)
#include "tst_frmheader.moc"
