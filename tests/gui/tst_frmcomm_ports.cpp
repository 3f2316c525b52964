#include "MainWindowHarness.h"
#include "common/EmulatorProcess.h"
#include "common/ScriptedPorts.h"
#include "files/DataFile.h"
#include "link/ConnectionTest.h"
#include "link/DevicePort.h"
#include "link/PortAssignments.h"
#include "link/frmComm.h"
#include "link/frmDevices.h"

// The Communication window's ports: the device beside each COM option, kept current while the
// window is open, "Devices..." giving an adapter a COM number, and "Test connection" against
// the analyser emulator.
class TestFrmCommPorts : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        for (int com = 1; com <= 6; ++com)
            qunsetenv(qPrintable(QStringLiteral("NRV508_COM%1").arg(com)));
        h = std::make_unique<MainWindowHarness>();
        h->program->portDiscovery = &m_system;
        m_system.set({});
    }
    void cleanup() { h.reset(); }

    void devicesBesideOptions_data();
    void devicesBesideOptions();
    void labelsFollowTheAdapter();
    void devicesAssignsANumber_data();
    void devicesAssignsANumber();
    void testConnection_data();
    void testConnection();

private:
    static QStringList labels(frmComm *dialog)
    {
        QStringList texts;
        for (int com = 1; com <= 6; ++com)
            texts << dialog->findChild<QLabel *>(QStringLiteral("labCom%1").arg(com))->text();
        return texts;
    }
    // Every element of the main window as "name=caption enabled visible".
    QStringList mainScreen() const
    {
        QStringList state;
        for (const QString &name : ScreenModel::elementNames()) {
            const Element *e = h->model().element(name);
            state << QStringLiteral("%1=%2 %3 %4")
                         .arg(name, e->caption)
                         .arg(e->enabled)
                         .arg(e->visible);
        }
        return state << DataFile::serialize(h->model());
    }

    ScriptedPorts m_system;
    std::unique_ptr<MainWindowHarness> h;
};

void TestFrmCommPorts::devicesBesideOptions_data()
{
    QTest::addColumn<QStringList>("assigned"); // "3:DEVICE serial=..." gives COM3 that port
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QStringList>("labels"); // COM1 to COM3; COM4 to COM6 stay standard, absent

    const QStringList adapter{"3:/dev/ttyUSB0 serial=A12B34 desc=USB_Serial"};
    QTest::newRow("present and busy")
        << QStringList() << QStringList{"/dev/ttyS0 desc=Built-in", "/dev/ttyS1 busy"}
        << QStringList{"/dev/ttyS0 (Built-in): present", "/dev/ttyS1: busy", "/dev/ttyS2: absent"};
    QTest::newRow("assigned adapter present")
        << adapter << QStringList{"/dev/ttyUSB0 serial=A12B34 desc=USB_Serial"}
        << QStringList{"/dev/ttyS0: absent", "/dev/ttyS1: absent",
                       "/dev/ttyUSB0 (USB Serial): present"};
    QTest::newRow("unplugged") << adapter << QStringList{"/dev/ttyUSB0 serial=ZZ9"}
                               << QStringList{"/dev/ttyS0: absent", "/dev/ttyS1: absent",
                                              "adapter A12B34 (USB Serial): not plugged in"};
}

void TestFrmCommPorts::devicesBesideOptions()
{
    QFETCH(QStringList, assigned);
    QFETCH(QStringList, ports);
    QFETCH(QStringList, labels);
    PortAssignments a;
    for (const QString &entry : assigned)
        a.assign(entry.section(':', 0, 0).toInt(), ScriptedPorts::parse(entry.section(':', 1)));
    QVERIFY(a.save(nullptr));
    m_system.set(ports);

    QStringList shown, tips, captions;
    runSetup(*h, [&](frmComm *dialog) {
        shown = this->labels(dialog);
        for (QRadioButton *option : dialog->findChildren<QRadioButton *>(QRegularExpression("Com")))
            tips << option->toolTip(), captions << option->text();
        dialog->close();
    });
    QCOMPARE(shown.mid(0, 3), labels);
    QCOMPARE(shown.mid(3),
             (QStringList{"/dev/ttyS3: absent", "/dev/ttyS4: absent", "/dev/ttyS5: absent"}));
    QCOMPARE(captions, (QStringList{" Com1", " Com2", " Com3", " Com4", " Com5", " Com6"}));
    // Each option's tool tip is the device it opens, an absent adapter's last one included.
    QCOMPARE(tips.at(2), labels.at(2).startsWith("adapter")
                             ? QString("/dev/ttyUSB0")
                             : labels.at(2).section(QRegularExpression("[ :]"), 0, 0));
}

void TestFrmCommPorts::labelsFollowTheAdapter()
{
    PortAssignments a;
    a.assign(2, ScriptedPorts::parse("/dev/ttyUSB0 serial=A12B34"));
    QVERIFY(a.save(nullptr));
    QStringList seen;
    runSetup(*h, [&](frmComm *dialog) {
        QLabel *label = dialog->findChild<QLabel *>("labCom2");
        seen << label->text();
        const QStringList steps[] = {
            {"/dev/ttyUSB0 serial=A12B34"}, {}, {"/dev/ttyUSB3 serial=A12B34"}};
        const char *expected[] = {"/dev/ttyUSB0: present", "adapter A12B34: not plugged in",
                                  "/dev/ttyUSB3: present"};
        for (int i = 0; i < 3; ++i) {
            m_system.set(steps[i]);
            QTRY_COMPARE_WITH_TIMEOUT(label->text(), QString(expected[i]), 20000);
            seen << label->text();
        }
        dialog->close();
    });
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen.first(), QStringLiteral("adapter A12B34: not plugged in"));
}

void TestFrmCommPorts::devicesAssignsANumber_data()
{
    QTest::addColumn<bool>("keep"); // OK in the Devices window, or Cancel
    QTest::newRow("OK keeps the number") << true;
    QTest::newRow("Cancel drops it") << false;
}

void TestFrmCommPorts::devicesAssignsANumber()
{
    QFETCH(bool, keep);
    m_system.set({"/dev/ttyS0", "/dev/ttyUSB0 serial=A12B34 usb=0403:6001 desc=USB_Serial"});
    QStringList listed, label;
    bool com4Chosen = false;
    runSetup(*h, [&](frmComm *dialog) {
        onNextModal<frmDevices>([&](frmDevices *devices) {
            auto *table = devices->findChild<QTableWidget *>("lstDevices");
            for (int row = 0; row < table->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < table->columnCount(); ++column)
                    cells << table->item(row, column)->text();
                listed << cells.join('|');
            }
            table->selectRow(1);
            devices->findChild<QComboBox *>("cboCom")->setCurrentIndex(3);
            QTest::mouseClick(devices->findChild<QPushButton *>("cmdAssign"), Qt::LeftButton);
            listed << table->item(1, 6)->text();
            if (keep)
                devices->accept();
            else
                devices->reject();
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdDevices"), Qt::LeftButton);
        label = labels(dialog).mid(3, 1);
        com4Chosen = dialog->findChild<QRadioButton *>("OptCom4")->isChecked();
        // The adapter moves to another socket while the window is open.
        m_system.set({"/dev/ttyUSB1 serial=A12B34 usb=0403:6001 desc=USB_Serial"});
        dialog->refresh();
        label << labels(dialog).at(3);
        QTest::mouseClick(dialog->findChild<QPushButton *>("scComSet"), Qt::LeftButton);
    });
    const QStringList rows{"/dev/ttyS0|||||free|",
                           "/dev/ttyUSB0|USB Serial||A12B34|0403:6001|free|", "COM4"};
    QCOMPARE(listed, rows);
    QCOMPARE(com4Chosen, keep);
    const QStringList kept{"/dev/ttyUSB0 (USB Serial): present",
                           "/dev/ttyUSB1 (USB Serial): present"};
    const QStringList standard{"/dev/ttyS3: absent", "/dev/ttyS3: absent"};
    QCOMPARE(label, keep ? kept : standard);
    QCOMPARE(PortAssignments::load().of(4).serialNumber, keep ? QString("A12B34") : QString());
    // The settings file keeps its three lines; the main port takes the chosen number.
    QCOMPARE(readFile("set508_21.txt"),
             keep ? QByteArray("2\r\n4\r\n1\r\n") : QByteArray("2\r\n1\r\n1\r\n"));
    QCOMPARE(h->port.portNumber(), keep ? 4 : 1);
}

void TestFrmCommPorts::testConnection_data()
{
    QTest::addColumn<QStringList>("emulator");
    QTest::addColumn<QString>("result"); // DEVICE stands for the emulator's device

    QTest::newRow("answer") << QStringList{"--fast"} << "Instrument answered (version 2.05)";
    QTest::newRow("silence") << QStringList{"--silent"}
                             << "No answer on COM3 (DEVICE) at 19200 baud over IRDA: check the "
                                "speed, the link type, and that the instrument is on.";
}

void TestFrmCommPorts::testConnection()
{
    QFETCH(QStringList, emulator);
    QFETCH(QString, result);
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    EmulatorProcess instrument;
    QString error;
    QVERIFY2(instrument.start(emulator, &error), qPrintable(error));
    // The adapter was given COM3 under another name; today it is the emulator's terminal.
    PortAssignments a;
    a.assign(3, ScriptedPorts::parse("/dev/ttyUSB5 serial=EMU1"));
    QVERIFY(a.save(nullptr));
    m_system.set({instrument.device() + " serial=EMU1"});
    const QStringList before = mainScreen();

    QString shown;
    bool disabledWhileTesting = false;
    runSetup(*h, [&](frmComm *dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton *>("OptCom3"), Qt::LeftButton, {},
                          QPoint(8, 8));
        QTest::mouseClick(dialog->findChild<QRadioButton *>("Opt192"), Qt::LeftButton, {},
                          QPoint(8, 8));
        auto *button = dialog->findChild<QPushButton *>("cmdTest");
        QTest::mouseClick(button, Qt::LeftButton);
        disabledWhileTesting = !button->isEnabled() || !dialog->connectionTest()->running();
        QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 30000);
        shown = dialog->findChild<QLabel *>("labTestResult")->text();
        if (emulator.contains("--fast")) { // for reviewers
            QVERIFY(QDir().mkpath(QStringLiteral(NRV508_SCREENSHOTS)));
            dialog->grab().save(QStringLiteral(NRV508_SCREENSHOTS "/frmComm-test-connection.png"));
        }
        dialog->close(); // the close box: nothing applied
    });
    QVERIFY(disabledWhileTesting);
    QCOMPARE(shown, result.replace("DEVICE", instrument.device()));
    // The main window and its port saw nothing of it.
    QCOMPARE(mainScreen(), before);
    QVERIFY(h->port.log().isEmpty());
    QCOMPARE(readFile("set508_21.txt"), QByteArray("<none>"));
    // Stop went out after the request, and the port is free again.
    QTRY_COMPARE_WITH_TIMEOUT(instrument.requests(),
                              QStringList({"QTRQ\\x0a\\x0d", "QTP\\x0a\\x0d"}), 20000);
    DevicePort other;
    other.setDeviceOverride(instrument.device());
    QVERIFY2(other.open(&error), qPrintable(error));
}

QTEST_MAIN(TestFrmCommPorts)
#include "tst_frmcomm_ports.moc"
