#include "MainWindowHarness.h"
#include "link/DevicePort.h"
#include "link/frmComm.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QTemporaryDir>

// "Communication Setup" from the main window's menu, the "Communication" window, and the
// settings file it writes and the next start-up reads.
class TestFrmComm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setupStopsTheLink_data();
    void setupStopsTheLink();
    void windowCaptions();
    void shownChoices_data();
    void shownChoices();
    void okAppliesSavesAndSurvivesARestart_data();
    void okAppliesSavesAndSurvivesARestart();
    void closeBoxAppliesNothing();
    void okFromTheKeyboard();
    void portToolTipsNameTheDevice();

private:
    void writeSettingsFile(const QByteArray &bytes);
    QByteArray settingsFile() const;
    // Opens the window through the menu; `inside` runs while it is up.
    void runSetup(const std::function<void(frmComm *)> &inside);
    static QStringList checked(frmComm *dialog);

    QTemporaryDir *m_dir = nullptr;
    QString m_previousDir;
    MainWindowHarness *h = nullptr;
};

void TestFrmComm::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    h = new MainWindowHarness;
}

void TestFrmComm::cleanup()
{
    delete h;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
}

void TestFrmComm::writeSettingsFile(const QByteArray &bytes)
{
    QFile file(QString::fromLatin1(CommSettings::kFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestFrmComm::settingsFile() const
{
    QFile file(QString::fromLatin1(CommSettings::kFileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestFrmComm::runSetup(const std::function<void(frmComm *)> &inside)
{
    bool seen = false;
    onNextModal<frmComm>(inside, &seen);
    h->action("mnuSet")->trigger();
    QVERIFY2(seen, "the Communication window did not open");
    QVERIFY(!QApplication::activeModalWidget());
}

// A click on the option's round button, where a user clicks.
static void clickOption(frmComm *dialog, const QString &name)
{
    auto *option = dialog->findChild<QRadioButton *>(name);
    QVERIFY2(option, qPrintable(name));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    QVERIFY2(option->isChecked(), qPrintable(name));
}

QStringList TestFrmComm::checked(frmComm *dialog)
{
    QStringList names;
    for (QRadioButton *option : dialog->findChildren<QRadioButton *>()) {
        if (option->isChecked()) names << option->objectName();
    }
    return names;
}

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

    QStringList logWhileOpen;
    QString startWhileOpen;
    runSetup([&](frmComm *dialog) {
        logWhileOpen = h->port.log();
        startWhileOpen = h->text("cmdStart");
        dialog->close();
    });

    QTEST(logWhileOpen, "sent");
    QCOMPARE(startWhileOpen, QStringLiteral("Start"));
    QVERIFY(!h->port.isOpen());
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    QVERIFY(h->window->isEnabled());
}

void TestFrmComm::windowCaptions()
{
    QStringList frames;
    QStringList options;
    QString title;
    QString ok;
    runSetup([&](frmComm *dialog) {
        title = dialog->windowTitle();
        for (const char *name : {"SSFrame1", "SSFrame2", "SSFrame3"}) {
            auto *frame = dialog->findChild<QGroupBox *>(QString::fromLatin1(name));
            frames << frame->title();
            for (QRadioButton *option : frame->findChildren<QRadioButton *>())
                options << option->objectName() + QLatin1Char('=') + option->text();
        }
        ok = dialog->findChild<QPushButton *>(QStringLiteral("scComSet"))->text();
        QCOMPARE(dialog->findChildren<QPushButton *>().size(), 1); // no Cancel
        dialog->close();
    });
    QCOMPARE(title, QStringLiteral("Communication"));
    QCOMPARE(frames,
             (QStringList{"Communication Port", "RS232 Baud Rate", "Communication Select"}));
    QCOMPARE(options,
             (QStringList{"OptCom1= Com1", "OptCom2= Com2", "OptCom3= Com3", "OptCom4= Com4",
                          "OptCom5= Com5", "OptCom6= Com6", "Opt48= 4800", "Opt96= 9600",
                          "Opt192= 19200", "Opt384= 38400", "OptIRDA=IRDA", "OptBlue=Bluetooth"}));
    QCOMPARE(ok, QStringLiteral("OK"));
}

void TestFrmComm::shownChoices_data()
{
    QTest::addColumn<QByteArray>("file"); // "<none>": no settings file
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("no file") << QByteArray("<none>") << QStringList{"OptCom1", "Opt96", "OptIRDA"};
    QTest::newRow("saved choice") << QByteArray("4\r\n3\r\n2\r\n")
                                  << QStringList{"OptCom3", "Opt384", "OptBlue"};
    QTest::newRow("out of range: initial choices")
        << QByteArray("9\r\n7\r\n1\r\n") << QStringList{"OptCom1", "Opt96", "OptIRDA"};
    QTest::newRow("short file") << QByteArray("1\r\n")
                                << QStringList{"OptCom1", "Opt48", "OptIRDA"};
    QTest::newRow("unreadable speed")
        << QByteArray("x\r\n5\r\n2\r\n") << QStringList{"OptCom5", "Opt96", "OptBlue"};
}

void TestFrmComm::shownChoices()
{
    QFETCH(QByteArray, file);
    if (file != "<none>") writeSettingsFile(file);
    h->start(); // the file is read at start-up

    QStringList shown;
    runSetup([&](frmComm *dialog) {
        shown = checked(dialog);
        dialog->close();
    });
    QTEST(shown, "checked");
}

void TestFrmComm::okAppliesSavesAndSurvivesARestart_data()
{
    QTest::addColumn<QByteArray>("before"); // the file at start-up, "<none>" for none
    QTest::addColumn<QStringList>("click");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("settings");

    QTest::newRow("com3 38400 bluetooth")
        << QByteArray("<none>") << QStringList{"OptCom3", "Opt384", "OptBlue"}
        << QByteArray("4\r\n3\r\n2\r\n") << 3 << "38400,N,8,1";
    QTest::newRow("out-of-range file replaced")
        << QByteArray("9\r\n7\r\n1\r\n") << QStringList{"OptCom6", "Opt48"}
        << QByteArray("1\r\n6\r\n1\r\n") << 6 << "4800,N,8,1";
    QTest::newRow("OK without changes writes the shown choice")
        << QByteArray("3\r\n2\r\n") << QStringList{} << QByteArray("3\r\n2\r\n1\r\n") << 2
        << "19200,N,8,1";
}

void TestFrmComm::okAppliesSavesAndSurvivesARestart()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, click);
    if (before != "<none>") writeSettingsFile(before);
    h->start();

    runSetup([&](frmComm *dialog) {
        for (const QString &name : click)
            clickOption(dialog, name);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("scComSet")),
                          Qt::LeftButton);
    });

    QTEST(settingsFile(), "saved");
    QTEST(h->port.portNumber(), "port");
    QTEST(h->port.settings(), "settings");
    QVERIFY(!h->port.isOpen());
    QCOMPARE(h->messages.count(), 0);

    // The next start-up finds the same settings.
    h->port.setPortNumber(1);
    h->port.setSettings(QStringLiteral("9600,N,8,1"));
    h->start();
    QTEST(h->port.portNumber(), "port");
    QTEST(h->port.settings(), "settings");
    QStringList shownAfterRestart;
    runSetup([&](frmComm *dialog) {
        shownAfterRestart = checked(dialog);
        dialog->close();
    });
    QCOMPARE(shownAfterRestart.size(), 3);
    for (const QString &name : click)
        QVERIFY2(shownAfterRestart.contains(name), qPrintable(name));
}

void TestFrmComm::closeBoxAppliesNothing()
{
    writeSettingsFile("2\r\n1\r\n1\r\n");
    h->start();
    runSetup([&](frmComm *dialog) {
        clickOption(dialog, QStringLiteral("OptCom4"));
        clickOption(dialog, QStringLiteral("OptBlue"));
        dialog->close();
    });
    QCOMPARE(settingsFile(), QByteArray("2\r\n1\r\n1\r\n"));
    QCOMPARE(h->port.portNumber(), 1);
    QCOMPARE(int(h->model().PortNumber), 1);
    QCOMPARE(int(h->model().LinkType), 1);
    QVERIFY(h->window->isEnabled());
}

void TestFrmComm::okFromTheKeyboard()
{
    runSetup([&](frmComm *dialog) {
        auto *option = dialog->findChild<QRadioButton *>(QStringLiteral("Opt192"));
        option->setFocus();
        QTest::keyClick(option, Qt::Key_Space);
        QTest::keyClick(option, Qt::Key_Return);
    });
    QCOMPARE(h->port.settings(), QStringLiteral("19200,N,8,1"));
    QCOMPARE(settingsFile(), QByteArray("3\r\n1\r\n1\r\n"));
}

void TestFrmComm::portToolTipsNameTheDevice()
{
    qputenv("NRV508_COM2", "/dev/pts/77");
    QStringList tips;
    runSetup([&](frmComm *dialog) {
        for (int n = 1; n <= 6; ++n)
            tips << dialog->findChild<QRadioButton *>(QStringLiteral("OptCom%1").arg(n))->toolTip();
        dialog->close();
    });
    qunsetenv("NRV508_COM2");
    QCOMPARE(tips.at(1), QStringLiteral("/dev/pts/77"));
    for (int n = 1; n <= 6; ++n) {
        if (n != 2) QCOMPARE(tips.at(n - 1), DevicePort::deviceFor(n));
        QVERIFY(!tips.at(n - 1).isEmpty());
    }
}

QTEST_MAIN(TestFrmComm)
#include "tst_frmcomm.moc"
