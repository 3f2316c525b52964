#include "MainWindowHarness.h"
#include "tables/ReceiveLamp.h"
#include "tables/WindowPrinter.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTableView>
#include <QTemporaryDir>

// The main window's Start button over a scripted instrument, and Print / Print Setup.
class TestMainWindowLink : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void liveRunLocksTheMenus();
    void startDownloadsTheMode_data();
    void startDownloadsTheMode();
    void printWithoutPrinter_data();
    void printWithoutPrinter();
    void printImageFillsThePage();
    void printSetupCancelChangesNothing();

private:
    // The instrument answers each request with the stream of that mode, a moment later.
    void answerWith(const QByteArray &request, const QByteArray &stream);

    QTemporaryDir *m_dir = nullptr;
    QString m_previousDir;
    MainWindowHarness *h = nullptr;
};

void TestMainWindowLink::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    h = new MainWindowHarness;
    // The quiet gap that ends an answer, shortened: these tests are about the window.
    h->program->transfer.setTimer3Interval(20);
}

void TestMainWindowLink::cleanup()
{
    delete h;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
}

void TestMainWindowLink::answerWith(const QByteArray &request, const QByteArray &stream)
{
    h->port.setResponder([this, request, stream](const QByteArray &sent) {
        if (sent == request + "\n\r")
            QTimer::singleShot(0, &h->port, [this, stream] { h->port.receive(stream); });
    });
}

void TestMainWindowLink::liveRunLocksTheMenus()
{
    auto *start = h->find<QPushButton>("cmdStart");
    QTest::mouseClick(start, Qt::LeftButton);

    QVERIFY(h->port.isOpen());
    QVERIFY(h->port.logWithoutWaits().contains(QStringLiteral("send QTRQ<0A><0D>")));
    QCOMPARE(start->text(), QStringLiteral("Stop"));
    for (const char *menu : {"mnuFile", "mnuMode", "mnuSetup"})
        QVERIFY2(!h->action(menu)->isEnabled(), menu);
    QVERIFY(!h->find("cmdHeader")->isEnabled());
    QVERIFY(start->isEnabled());

    // Each receive event blinks the lamp.
    auto *lamp = h->find<ReceiveLamp>("Shape1");
    const QColor before = lamp->fillColour();
    h->port.receive("<BTInstReading\n\r");
    QVERIFY(lamp->fillColour() != before);

    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Start"));
    for (const char *menu : {"mnuFile", "mnuMode", "mnuSetup"})
        QVERIFY2(h->action(menu)->isEnabled(), menu);
    QVERIFY(h->find("cmdHeader")->isEnabled());
    QVERIFY(!h->port.isOpen());
}

void TestMainWindowLink::startDownloadsTheMode_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("cells");  // "row,column=text" of the table as shown
    QTest::addColumn<QStringList>("panels"); // name=caption

    QTest::newRow("Store") << "mnuStore" << QByteArray("QTS") << "store.txt"
                           << "MSFlexGrid1"
                           << QStringList{"3,4=41", "13,0=12", "13,4=26", "6,13='F"}
                           << QStringList{"txtSAdd2=0", "txtSCo=18", "txtVersion=2.05"};
    QTest::newRow("Logger page 0")
        << "mnuL0" << QByteArray("QTL0") << "logger0.txt"
        << "MSFlexGrid1" << QStringList{"1,1=23:10:00", "4,4=25", "1,3=Natural Gas"}
        << QStringList{"txtSAdd2=0", "txtLFuel=Natural Gas", "txtSSample=00:01:00"};
    QTest::newRow("Single Logger page 0")
        << "mnuSL0" << QByteArray("QTSL0") << "single0.txt"
        << "MSFlexGrid3" << QStringList{"1,0= 1", "1,1=118", "1,2=131", "17,2=OFL", "0,1=Average"}
        << QStringList{"txtSLMeasure=CO Logger Mode Data", "txtSLUnit=ppm"};
    QTest::newRow("Tightness") << "mnuTightness" << QByteArray("QTT") << "tightness.txt"
                               << "MSFlexGrid2"
                               << QStringList{"1,0=0", "1,3=21.35", "6,5=hPa", "0,3=P1_Start"}
                               << QStringList{"txtSLMeasure=Tightness Test Data"};
}

// A cell by the table's own address: row 0 is the header row, column 0 the header column.
static QString shownCell(QTableView *view, int row, int column)
{
    const QAbstractItemModel *m = view->model();
    if (row == 0) return m->headerData(column - 1, Qt::Horizontal).toString();
    if (column == 0) return m->headerData(row - 1, Qt::Vertical).toString();
    return m->index(row - 1, column - 1).data().toString();
}

void TestMainWindowLink::startDownloadsTheMode()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, request);
    QFETCH(QString, stream);
    QFETCH(QString, table);
    QFile file(QStringLiteral(NRV508_TEST_DATA "/streams/") + stream);
    QVERIFY(file.open(QIODevice::ReadOnly));
    answerWith(request, file.readAll());
    QList<bool> windowEnabled;
    QObject::connect(&h->model(), &ScreenModel::changed, h->window.get(),
                     [&] { windowEnabled << h->window->isEnabled(); });

    QSignalSpy finished(&h->program->transfer, &Transfer::receptionFinished);

    h->action(command.toLatin1().constData())->trigger();
    QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(h->port.logWithoutWaits().contains(
        QStringLiteral("send %1<0A><0D>").arg(QString::fromLatin1(request))));
    QVERIFY(windowEnabled.contains(false));

    // The window took no input while the answer arrived, and takes it again now.
    QTRY_VERIFY(h->window->isEnabled());
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    auto *view = h->find<QTableView>(table.toLatin1().constData());
    QVERIFY(view->isVisible());
    QFETCH(QStringList, cells);
    for (const QString &cell : cells) {
        const int row = cell.section(QLatin1Char(','), 0, 0).toInt();
        const int column =
            cell.section(QLatin1Char(','), 1).section(QLatin1Char('='), 0, 0).toInt();
        const QString shown = shownCell(view, row, column);
        QCOMPARE(cell.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') + shown, cell);
    }
    QFETCH(QStringList, panels);
    for (const QString &entry : panels) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        QCOMPARE(name + QLatin1Char('=') + h->text(name.toLatin1().constData()), entry);
    }
    QCOMPARE(h->messages.count(), 0);
}

void TestMainWindowLink::printWithoutPrinter_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("fileName"); // "" cancels the file dialog
    QTest::addColumn<QString>("written");  // "" when nothing is written

    QTest::newRow("save as PDF") << true << "window.pdf"
                                 << "window.pdf";
    QTest::newRow("suffix added") << true << "window"
                                  << "window.pdf";
    QTest::newRow("no PDF wanted") << false << ""
                                   << "";
    QTest::newRow("file dialog cancelled") << true << ""
                                           << "";
}

void TestMainWindowLink::printWithoutPrinter()
{
    if (WindowPrinter::printerInstalled())
        QSKIP("a printer is installed here; this is about a machine without one");
    QFETCH(bool, yes);
    QFETCH(QString, fileName);
    h->action("mnuStore")->trigger();

    QString question;
    bool dialogSeen = false;
    onNextModal<QMessageBox>([&](QMessageBox *box) {
        question = box->windowTitle() + QLatin1String(": ") + box->text();
        if (yes) {
            onNextModal<QFileDialog>(
                [&](QFileDialog *dialog) {
                    if (fileName.isEmpty()) {
                        dialog->reject();
                        return;
                    }
                    // Written into the name field, as a user types it.
                    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    if (!name) {
                        dialog->reject();
                        QFAIL("the file dialog has no name field");
                    }
                    name->setText(QDir(m_dir->path()).filePath(fileName));
                    static_cast<QDialog *>(dialog)->accept();
                },
                &dialogSeen);
        }
        if (QAbstractButton *button = box->button(yes ? QMessageBox::Yes : QMessageBox::No))
            button->click();
        else
            box->reject();
    });
    h->action("mnuPrint")->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());

    QVERIFY2(question.startsWith(QLatin1String("Print: No printer is installed.")),
             qPrintable(question));
    QCOMPARE(dialogSeen, yes);
    QFETCH(QString, written);
    const QStringList files = QDir(m_dir->path()).entryList({"*.pdf", "window*"}, QDir::Files);
    if (written.isEmpty()) {
        QVERIFY2(files.isEmpty(), qPrintable(files.join(' ')));
        return;
    }
    QCOMPARE(files, QStringList{written});
    QFile pdf(QDir(m_dir->path()).filePath(written));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(pdf.size() > 10000); // an image, not an empty page
}

void TestMainWindowLink::printImageFillsThePage()
{
    // What Print sends to a printer: the client area, as wide as the page allows.
    const QPixmap image = h->window->clientArea()->grab();
    QCOMPARE(image.size(), h->window->clientArea()->size());
    const QString path = QDir(m_dir->path()).filePath(QStringLiteral("page.pdf"));
    QString error;
    QVERIFY2(WindowPrinter::savePdf(path, image, &error), qPrintable(error));
    QVERIFY(QFileInfo(path).size() > 10000);

    const QString unwritable = QDir(m_dir->path()).filePath(QStringLiteral("no/such/dir/x.pdf"));
    QVERIFY(!WindowPrinter::savePdf(unwritable, image, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(unwritable));
}

void TestMainWindowLink::printSetupCancelChangesNothing()
{
    QPrinter *printer = h->window->printer();
    const QString name = printer->printerName();
    const auto format = printer->outputFormat();
    const QString output = printer->outputFileName();
    const int copies = printer->copyCount();
    bool seen = false;
    onNextModal<QPrintDialog>([](QPrintDialog *dialog) { dialog->reject(); }, &seen);
    h->action("mnuPrintSetup")->trigger();
    QVERIFY(seen);
    QCOMPARE(printer->printerName(), name);
    QCOMPARE(printer->outputFormat(), format);
    QCOMPARE(printer->outputFileName(), output);
    QCOMPARE(printer->copyCount(), copies);
    QCOMPARE(h->messages.count(), 0);
}

QTEST_MAIN(TestMainWindowLink)
#include "tst_mainwindow_link.moc"
