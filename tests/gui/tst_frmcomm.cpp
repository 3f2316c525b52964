#include "MainWindowHarness.h"
#include "link/frmComm.h"

// "Communication Setup" from the main window's menu, the "Communication" window, and the
// settings file "set508_21.txt" it writes and the next start-up reads.
class TestFrmComm : public QObject {
    Q_OBJECT

private slots:
    void init() { h = std::make_unique<MainWindowHarness>(); }
    void cleanup() { h.reset(); }

    void setupStopsTheLink_data();
    void setupStopsTheLink();
    void settingsFile_data();
    void settingsFile();

private:
    enum Leave { StartUpOnly, ClickOk, PressReturn, CloseBox };
    // The options shown chosen when the window opens; closed again by its close box.
    QString checkedInSetup()
    {
        QStringList names;
        runSetup(*h, [&](frmComm *dialog) {
            for (QRadioButton *option : dialog->findChildren<QRadioButton *>()) {
                if (option->isChecked()) names << option->objectName();
            }
            dialog->close();
        });
        return names.join(QLatin1Char(' '));
    }
    // A click on the option's round button, where a user clicks.
    static void click(frmComm *dialog, const QString &name)
    {
        auto *option = dialog->findChild<QRadioButton *>(name);
        QVERIFY2(option, qPrintable(name));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }

    std::unique_ptr<MainWindowHarness> h;
};

void TestFrmComm::setupStopsTheLink_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("port open: QTP, then closed")
        << true << QStringList{"wait 5", "send QTP<0A><0D>", "wait 15", "close"};
    QTest::newRow("port closed: nothing sent") << false << QStringList{};
}

void TestFrmComm::setupStopsTheLink()
{
    QFETCH(bool, portOpen);
    h->port.setOpenQuietly(portOpen);
    h->model().cmdStart.caption = QStringLiteral("Stop");
    h->model().notify();
    qputenv("NRV508_COM2", "/dev/pts/77");

    QStringList logWhileOpen;
    QStringList texts; // Start's caption behind the window, then the window's own captions
    QStringList tips;
    runSetup(*h, [&](frmComm *dialog) {
        logWhileOpen = h->port.log();
        texts << h->text("cmdStart") << dialog->windowTitle();
        // The device labels beside the options say what this machine has; they are checked
        // against a scripted port list elsewhere.
        for (QWidget *w : dialog->findChildren<QWidget *>()) {
            if (!qobject_cast<QLabel *>(w))
                texts << w->property(qobject_cast<QGroupBox *>(w) ? "title" : "text").toString();
        }
        for (QRadioButton *option : dialog->findChildren<QRadioButton *>(QRegularExpression("Com")))
            tips << option->toolTip();
        dialog->close();
    });
    qunsetenv("NRV508_COM2");

    QTEST(logWhileOpen, "sent");
    QVERIFY(!h->port.isOpen());
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    // No Cancel: the close box is the way out that changes nothing.
    QCOMPARE(texts, (QStringList{"Start",
                                 "Communication",
                                 "Communication Port",
                                 " Com1",
                                 " Com2",
                                 " Com3",
                                 " Com4",
                                 " Com5",
                                 " Com6",
                                 "RS232 Baud Rate",
                                 " 4800",
                                 " 9600",
                                 " 19200",
                                 " 38400",
                                 "Communication Select",
                                 "IRDA",
                                 "Bluetooth",
                                 "&Devices...",
                                 "&Test connection",
                                 "OK"}));
    // Each port option's tool tip names its device, an adapter's one from the environment.
    QCOMPARE(tips.at(1), QStringLiteral("/dev/pts/77"));
    QVERIFY(!tips.contains(QString()));
}

void TestFrmComm::settingsFile_data()
{
    QTest::addColumn<QByteArray>("file"); // at start-up; "<none>": no file at all
    QTest::addColumn<QString>("clicks");  // options clicked in the window
    QTest::addColumn<int>("leave");
    QTest::addColumn<QByteArray>("saved"); // null: the file stays as it was
    QTest::addColumn<int>("port");         // then, and after the next start-up
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("shown"); // the options chosen when the window opens

    // The port starts at COM5, 19200 so that a value left unapplied is seen as such.
    const QString initial = QStringLiteral("OptCom1 Opt96 OptIRDA");
    const auto startUp = [](const char *tag, const QByteArray &file, int port, int baud,
                            const QString &shown) {
        QTest::newRow(tag) << file << QString() << int(StartUpOnly) << QByteArray() << port << baud
                           << shown;
    };
    startUp("no file", "<none>", 5, 19200, initial);
    startUp("empty file counts as missing", "", 5, 19200, initial);
    startUp("com3 38400 bluetooth", "4\r\n3\r\n2\r\n", 3, 38400, "OptCom3 Opt384 OptBlue");
    startUp("out of range: not applied, initial choices shown", "9\r\n7\r\n1\r\n", 5, 19200,
            initial);
    startUp("zero, negative and link 3", "0\r\n-1\r\n3\r\n", 5, 19200, initial);
    startUp("lines ending LF only", "3\n2\n2\n", 2, 19200, "OptCom2 Opt192 OptBlue");
    startUp("last line without ending", "1\r\n4\r\n2", 4, 4800, "OptCom4 Opt48 OptBlue");
    startUp("one line: the rest default", "3\r\n", 1, 19200, "OptCom1 Opt192 OptIRDA");
    startUp("unreadable speed defaults, the rest read", "fast\r\n4\r\n2\r\n", 4, 9600,
            "OptCom4 Opt96 OptBlue");
    startUp("beyond 16 bits is unreadable", "1\r\n70000\r\n2\r\n", 1, 4800,
            "OptCom1 Opt48 OptBlue");
    startUp("binary rubbish", QByteArray("\x01\xff\r\n\x00\r\n", 7), 1, 9600, initial);

    QTest::newRow("OK: com3 38400 bluetooth")
        << QByteArray("<none>") << "OptCom3 Opt384 OptBlue" << int(ClickOk)
        << QByteArray("4\r\n3\r\n2\r\n") << 3 << 38400 << "OptCom3 Opt384 OptBlue";
    QTest::newRow("OK replaces an out-of-range file")
        << QByteArray("9\r\n7\r\n1\r\n") << "OptCom6 Opt48" << int(ClickOk)
        << QByteArray("1\r\n6\r\n1\r\n") << 6 << 4800 << "OptCom6 Opt48 OptIRDA";
    QTest::newRow("Return without changes writes the shown choice")
        << QByteArray("3\r\n2\r\n") << "" << int(PressReturn) << QByteArray("3\r\n2\r\n1\r\n") << 2
        << 19200 << "OptCom2 Opt192 OptIRDA";
    QTest::newRow("close box applies nothing")
        << QByteArray("2\r\n1\r\n1\r\n") << "OptCom4 OptBlue" << int(CloseBox) << QByteArray() << 1
        << 9600 << "OptCom1 Opt96 OptIRDA";
}

void TestFrmComm::settingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, clicks);
    QFETCH(int, leave);
    QFETCH(QByteArray, saved);
    QFETCH(int, baud);
    QFile settings(QStringLiteral("set508_21.txt"));
    if (file != "<none>") QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write(file) >= 0);
    settings.close();
    const auto startUp = [&] { // the port at COM5, 19200 shows a value left unapplied
        h->port.setPortNumber(5);
        h->port.setSettings(QStringLiteral("19200,N,8,1"));
        h->start();
    };
    startUp();
    QVERIFY(h->port.log().isEmpty()); // the port stays closed

    if (leave != StartUpOnly) {
        runSetup(*h, [&](frmComm *dialog) {
            for (const QString &name : clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                click(dialog, name);
            if (leave == ClickOk)
                QTest::mouseClick(dialog->findChild<QPushButton *>("scComSet"), Qt::LeftButton);
            else if (leave == PressReturn)
                QTest::keyClick(dialog, Qt::Key_Return);
            else
                dialog->close();
        });
    }
    QCOMPARE(readFile(settings.fileName()), saved.isNull() ? file : saved);
    QCOMPARE(h->messages.count(), 0);
    QVERIFY(h->window->isEnabled());

    // In force for this run, and found again by the next start-up.
    for (int run = 0; run < 2; ++run) {
        if (run == 1) startUp();
        QTEST(h->port.portNumber(), "port");
        QCOMPARE(h->port.settings(), QStringLiteral("%1,N,8,1").arg(baud));
        QTEST(checkedInSetup(), "shown");
        QVERIFY(!h->port.isOpen());
    }
}

QTEST_MAIN(TestFrmComm)
#include "tst_frmcomm.moc"
