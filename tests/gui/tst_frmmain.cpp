#include "MainWindowHarness.h"
#include "charts/frmChart.h"
#include "files/DataFile.h"
#include "tables/GridModel.h"
#include "tables/ReceiveLamp.h"
#include "tables/UnitLabel.h"
#include "tables/WindowPrinter.h"

// The main window driven through its menus, buttons and scroll bar, as a user drives it, over
// a scripted instrument.
class TestFrmMain : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        h = std::make_unique<MainWindowHarness>();
        QVERIFY(QTest::qWaitForWindowExposed(h->window.get()));
    }
    void cleanup() { h.reset(); }

    void startUpAndMenus();
    void modeSwitch_data();
    void modeSwitch();
    void valuesAreNoMarkup();
    void liveRunLocksTheMenus();
    void startDownloadsTheMode_data();
    void startDownloadsTheMode();
    void printWithoutPrinter_data();
    void printWithoutPrinter();
    void progressWindowLeavesOwnedWindows();
    void boxesComeAfterTheNewTable();
    void tableAndScrollBarBrowseTogether_data();
    void tableAndScrollBarBrowseTogether();
    void tablesGrowWithTheWindow_data();
    void tablesGrowWithTheWindow();
    void progressWindowCountsTheAnswer_data();
    void progressWindowCountsTheAnswer();
    void receiveLampBlinksOnlyInRealMode_data();
    void receiveLampBlinksOnlyInRealMode();
    void infraredStopLetsTheReadingGo_data();
    void infraredStopLetsTheReadingGo();
    void lineFaultsWithinTheReportTimeGiveOneBox_data();
    void lineFaultsWithinTheReportTimeGiveOneBox();
    void modeSwitchKeepsScrollValue_data();
    void modeSwitchKeepsScrollValue();
    void chartMenuCaptions_data();
    void chartMenuCaptions();

private:
    // The main window's own menus and controls take input (the progress window is not up).
    bool takesInput() const
    {
        return h->window->menuBar()->isEnabled() && h->window->clientArea()->isEnabled();
    }
    QWidget *progressWindow() const
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmSplash")) return w;
        return nullptr;
    }
    // The frame the user sees at a point of the display area: the topmost one there.
    QString frameSeen() const
    {
        QWidget *client = h->window->clientArea();
        // A point inside the frames' rectangle, left of every panel and table.
        QWidget *w = client->childAt(MainLayout::pixels(2160), MainLayout::pixels(420));
        while (w && w->parentWidget() != client)
            w = w->parentWidget();
        return w ? w->objectName() : QStringLiteral("<none>");
    }
    // The window saved as a PNG file for a reviewer to look at; nothing is compared pixel by
    // pixel.
    void screenshot(const QString &name) const
    {
        QVERIFY(QDir().mkpath(QStringLiteral(NRV508_SCREENSHOTS)));
        const QString path = QStringLiteral(NRV508_SCREENSHOTS "/%1.png").arg(name);
        QVERIFY2(h->window->grab().save(path), qPrintable(path));
    }

    std::unique_ptr<MainWindowHarness> h;
};

void TestFrmMain::startUpAndMenus()
{
    // The rest of what the start-up shows is the first row of modeSwitch.
    QCOMPARE(h->window->windowTitle(), QStringLiteral("NRV508 Window Program ver 2.42"));
    QVERIFY(h->find("cmdHeader")->isEnabled());
    // Single-logger headers are written at start-up, before any switch.
    QCOMPARE(h->model().MSFlexGrid3.text(0, 2), QStringLiteral("Value2"));
    QVERIFY(h->port.log().isEmpty()); // the port stays closed
    screenshot(QStringLiteral("startup"));

    // Every entry as shown, "&" before its access key (so a key taken twice shows here too).
    QList<QWidget *> menus{h->window->menuBar()};
    for (QMenu *menu : h->window->findChildren<QMenu *>(QRegularExpression("^mnu")))
        menus << menu;
    QStringList shown;
    for (QWidget *menu : menus) {
        QStringList entries;
        for (QAction *a : menu->actions())
            entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        shown << entries.join(QLatin1String(", "));
    }
    QCOMPARE(shown,
             (QStringList{
                 "&File, &Mode, &Setup, E&xport, &Archive",
                 "&Open, &Save, -, &Print, Print Set&up, -, Exit (&X)",
                 "&Real Mode, &Store Mode, &Logger Mode, S&ingle Logger Mode, &Tightness Mode",
                 "Page&0, Page&1, Page&2, Page&3",
                 "Page&0, Page&1, Page&2, Page&3, Page&4",
                 "&Communication Setup",
                 "&Browse Archive...",
             }));
}

void TestFrmMain::modeSwitch_data()
{
    QTest::addColumn<QString>("commands");   // menu commands, the last one the switch
    QTest::addColumn<QStringList>("expect"); // see MainWindowHarness::expect
    QTest::addColumn<QString>("frame");      // the frame on top
    QTest::addColumn<bool>("chart");         // enabled after the switch
    QTest::addColumn<bool>("opens");         // a click on it opens the chart window
    QTest::addColumn<QStringList>("table");  // name, data rows, corner cell, column headers

    const QStringList real{
        "txtRDate=",     "txtRTime=", "txtRCo=",  "txtRO2=",       "txtRCo2=",
        "txtRRatio=",    "txtRXair=", "txtREff=", "txtRTemp1=",    "txtRTemp2=",
        "txtRPressure=", "txtRFuel=", "Frame1",   "labRT1Unit='C", "labRPUnit=mbar",
        "!FrameStore",   "!FrameSL",  "!Text8",   "Label2=Ver. :", "FrameReal=Real Mode Data"};
    const QStringList record{"Add",  "Time", "Date",  "Fuel",  "CO",    "O2",     "CO2",   "Ratio",
                             "XAir", "Eff.", "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"};
    const QStringList store{"txtSAdd2=",  "txtSDate=", "txtSTime=",   "txtSCo=", "txtSPressure=",
                            "labST1Unit", "HScroll1",  "MSFlexGrid1", "!FrameSL"};
    const QStringList sl{"!FrameStore", "Label30", "txtSLMeasure="};
    const QStringList slFields{"txtSLDate", "txtSLTime", "txtSLSample", "txtSLUnit",
                               "Label26",   "Label27",   "Label28",     "Label37"};
    QStringList slHidden = slFields;
    slHidden.replaceInStrings(QRegularExpression("^"), QStringLiteral("!"));

    QTest::newRow("start-up") << "" << real + QStringList{"txtVersion="} << "FrameReal" << false
                              << false << QStringList{};
    QTest::newRow("Real after Store")
        << "mnuStore mnuReal" << real << "FrameReal" << false << false << QStringList{};
    QTest::newRow("Store after Logger")
        << "mnuL2 mnuStore"
        << store + QStringList{"FrameStore=Store Mode Data", "txtSFuel=", "!txtLFuel", "!Label25",
                               "!txtSSample"}
        << "FrameStore" << false << false << QStringList{"MSFlexGrid1", "50"} + record;
    for (int page = 0; page < 4; ++page) {
        QTest::addRow("Logger page %d after %s", page, page ? "Store" : "Real")
            << (page ? "mnuStore mnuL" : "mnuReal mnuL") + QString::number(page)
            << store + QStringList{"txtLFuel=", "Label25", "txtSSample=",
                                   QStringLiteral("FrameStore=Logger Mode Data #%1").arg(page)}
            << "FrameStore" << true << true << QStringList{"MSFlexGrid1", "100"} + record;
    }
    for (int page = 0; page < 5; ++page) {
        QTest::addRow("Single Logger page %d after Tightness", page)
            << QStringLiteral("mnuTightness mnuSL%1").arg(page)
            << sl + slFields +
                   QStringList{QStringLiteral("FrameSL=Single Logger Mode Data #%1").arg(page),
                               "MSFlexGrid3", "!MSFlexGrid2"}
            << "FrameSL" << true << true
            << QStringList{"MSFlexGrid3", "30", "Add", "Value1", "Value2"};
    }
    QTest::newRow("Tightness after Single Logger")
        << "mnuSL3 mnuTightness"
        << sl + slHidden + QStringList{"FrameSL=Tightness Mode", "MSFlexGrid2", "!MSFlexGrid3"}
        << "FrameSL" << false << true
        << QStringList{"MSFlexGrid2", "50", "Add", "Date", "Time", "P1_Start", "P2_Stop", "Unit"};
}

void TestFrmMain::modeSwitch()
{
    QFETCH(QString, commands);
    QFETCH(QStringList, table);
    for (const QString &command : commands.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        // Something to be emptied, and a Start button to be reset.
        h->model().MSFlexGrid1.setText(3, 4, QStringLiteral("999"));
        h->model().txtRCo.caption = h->model().txtSCo.caption = QStringLiteral("7");
        h->model().cmdStart.caption = QStringLiteral("Stop");
        h->model().notify();
        h->action(command)->trigger();
    }

    QTEST(frameSeen(), "frame");
    QFETCH(QStringList, expect);
    h->expect(expect + QStringList{"cmdStart=Start"});
    QTEST(h->find("cmdChart")->isEnabled(), "chart");
    if (!table.isEmpty()) {
        auto *view = h->find<QTableView>(table.first());
        const QAbstractItemModel *cells = view->model();
        QStringList shown{view->objectName(), QString::number(cells->rowCount()),
                          qobject_cast<GridModel *>(view->model())->cornerText()};
        for (int c = 0; c < cells->columnCount(); ++c) {
            shown << cells->headerData(c, Qt::Horizontal).toString();
            for (int r = 0; r < cells->rowCount(); ++r)
                QVERIFY(cells->index(r, c).data().toString().isEmpty());
        }
        QCOMPARE(shown, table);
        if (view->objectName() == QLatin1String("MSFlexGrid1"))
            QCOMPARE(h->find<QScrollBar>("HScroll1")->maximum(), cells->rowCount() - 1);
    }

    // The Chart rule itself, reached as an opened data file may leave the button enabled.
    h->model().cmdChart.enabled = true;
    h->model().notify();
    QFETCH(bool, opens);
    bool opened = false;
    if (opens) // a window where none belongs would block the click, and the test times out
        onNextModal<frmChart>([](frmChart *w) { w->close(); }, &opened);
    QTest::mouseClick(h->find("cmdChart"), Qt::LeftButton);
    QCOMPARE(opened, opens);
    QCOMPARE(h->messages.lines(),
             opens ? QStringList{} : QStringList{QStringLiteral("Chart: Not Support !")});
    if (!opens) QCOMPARE(h->messages.boxes().first().icon, MessageIcon::Information);
}

void TestFrmMain::valuesAreNoMarkup()
{
    // Values come from the instrument and from files; none of them is markup.
    h->model().txtRFuel.caption = QStringLiteral("<b>Oil</b>");
    h->model().FrameReal.caption = QStringLiteral("Oil & Gas");
    h->model().notify();
    h->expect({"txtRFuel=<b>Oil</b>", "FrameReal=Oil & Gas"});
    QCOMPARE(h->find<QLabel>("txtRFuel")->textFormat(), Qt::PlainText);
}

void TestFrmMain::liveRunLocksTheMenus()
{
    auto *start = h->find<QPushButton>("cmdStart");
    auto unlocked = [&] { // the File, Mode and Setup menus and the Header button
        return QList<bool>{h->action("mnuFile")->isEnabled(), h->action("mnuMode")->isEnabled(),
                           h->action("mnuSetup")->isEnabled(), h->find("cmdHeader")->isEnabled()};
    };
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(h->port.logWithoutWaits(), QStringList({"open", "send QTRQ<0A><0D>"}));
    QCOMPARE(start->text(), QStringLiteral("Stop"));
    QCOMPARE(unlocked(), QList<bool>(4, false));
    // The reading fills the panels as the saved run has them.
    h->port.receive(testData("streams/real.txt"));
    QTRY_COMPARE(h->text("txtRCo"), QStringLiteral("25"));
    h->expect(QString::fromLatin1(testData("expected/real.panels"))
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    screenshot(QStringLiteral("real"));

    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(unlocked(), QList<bool>(4, true));
    QVERIFY(!h->port.isOpen());
}

void TestFrmMain::startDownloadsTheMode_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("stream");     // also the name of the data file saved from it
    QTest::addColumn<int>("browse");         // presses of the scroll bar's right arrow
    QTest::addColumn<QStringList>("panels"); // name=caption, after browsing
    QTest::addColumn<QString>("screenshot");

    const QByteArray store("QTS");
    QTest::newRow("Store") << "mnuStore" << store << "store.txt" << 0
                           << QStringList{"txtSAdd2=0",     "txtSCo=18",     "txtSFuel=Natural Gas",
                                          "labST1Unit='C",  "labST2Unit='C", "labSPUnit=mbar",
                                          "txtVersion=2.05"}
                           << "";
    QTest::newRow("Store row 5: its own units")
        << "mnuStore" << store << "store.txt" << 5
        << QStringList{"txtSAdd2=5",    "txtSCo=35",       "labST1Unit='F",
                       "labST2Unit='F", "labSPUnit=inH2O", "txtSFuel=Propane"}
        << "store";
    QTest::newRow("Store row 7: units change back")
        << "mnuStore" << store << "store.txt" << 7
        << QStringList{"txtSAdd2=7", "txtSCo=9", "labST1Unit='C", "labSPUnit=hPa"} << "";
    QTest::newRow("Store row 20: no record there")
        << "mnuStore" << store << "store.txt" << 20
        << QStringList{"txtSAdd2=", "txtSCo=", "labST1Unit=", "labSPUnit="} << "";
    QTest::newRow("Logger page 0, row 3: units and header fuel stay")
        << "mnuL0" << QByteArray("QTL0") << "logger0.txt" << 3
        << QStringList{"txtSAdd2=3",           "txtSTime=23:13:00",  "txtSCo=25",
                       "labST1Unit='C",        "labST2Unit='C",      "labSPUnit=mbar",
                       "txtLFuel=Natural Gas", "txtSSample=00:01:00"}
        << "logger0";
    QTest::newRow("Tightness") << "mnuTightness" << QByteArray("QTT") << "tightness.txt" << 0
                               << QStringList{"txtSLMeasure=Tightness Test Data"} << "tightness";
}

void TestFrmMain::startDownloadsTheMode()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, request);
    QFETCH(QString, stream);
    // The instrument answers the mode's request a moment later.
    const QByteArray answer = testData("streams/" + stream);
    QWidget *progress = progressWindow();
    QVERIFY(progress);
    h->port.setResponder([&](const QByteArray &sent) {
        if (sent == request + "\n\r")
            QTimer::singleShot(0, &h->port, [&] { h->port.receive(answer); });
    });
    QStringList during; // while the progress window is up: its text; the main window takes none
    QObject::connect(&h->model(), &ScreenModel::changed, h->window.get(), [&] {
        if (progress->isVisible())
            during << progress->findChild<QLabel *>(QStringLiteral("Label1"))->text() +
                          (takesInput() ? " (main window takes input)" : "");
    });
    QSignalSpy finished(&h->program->transfer, &Transfer::receptionFinished);

    h->action(command)->trigger();
    QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(h->port.logWithoutWaits(), QStringList({"open", "send " + request + "<0A><0D>"}));
    during.removeDuplicates();
    QCOMPARE(during, QStringList{"Wait . . ."});
    QTRY_VERIFY(takesInput());
    QVERIFY(!progress->isVisible());
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));

    // The table the user sees, headers and all, is the one the saved data file has.
    const QByteArray saved = testData("expected/" + stream);
    auto *view = h->find<QTableView>(stream.startsWith("single")  ? "MSFlexGrid3"
                                     : stream.startsWith("tight") ? "MSFlexGrid2"
                                                                  : "MSFlexGrid1");
    const QAbstractItemModel *m = view->model();
    QByteArray shown = '"' + qobject_cast<const GridModel *>(m)->cornerText().toLatin1() + "\"\r\n";
    for (int r = -1; r < m->rowCount(); ++r) {
        for (int c = r < 0 ? 0 : -1; c < m->columnCount(); ++c) {
            const QVariant text = r < 0   ? m->headerData(c, Qt::Horizontal)
                                  : c < 0 ? m->headerData(r, Qt::Vertical)
                                          : m->index(r, c).data();
            shown += '"' + text.toString().toLatin1() + "\"\r\n";
        }
    }
    QVERIFY2(saved.contains(shown), view->objectName().toLatin1());
    QFETCH(int, browse);
    if (browse) { // one step too far and back: the right arrow goes forward, the left one back
        auto *scroll = h->find<QScrollBar>("HScroll1");
        scroll->setFocus();
        for (int i = 0; i <= browse; ++i)
            QTest::keyClick(scroll, Qt::Key_Right);
        QTest::keyClick(scroll, Qt::Key_Left);
        QCOMPARE(int(h->model().CurrentRow), browse);
    }
    QFETCH(QStringList, panels);
    h->expect(panels);
    // A unit wider than its place is drawn smaller, never cut ("inH2O" under the table).
    for (UnitLabel *unit : h->window->findChildren<UnitLabel *>()) {
        QVERIFY2(QFontMetrics(unit->fittedFont()).horizontalAdvance(unit->text()) <=
                     unit->contentsRect().width(),
                 qPrintable(unit->objectName() + '=' + unit->text()));
    }
    QFETCH(QString, screenshot);
    if (!screenshot.isEmpty()) this->screenshot(screenshot);
    QCOMPARE(DataFile::serialize(h->model()), saved); // last: saving moves the table's cursor

    // The port stays open after a download; Exit closes it with the window, asking nothing.
    h->action("mnuExit")->trigger();
    QCOMPARE(h->port.logWithoutWaits().mid(2), QStringList{"close"});
    QVERIFY(!h->window->isVisible());
    QCOMPARE(h->messages.count(), 0);
}

void TestFrmMain::printWithoutPrinter_data()
{
    QTest::addColumn<QString>("fileName"); // "" cancels the file dialog
    QTest::addColumn<bool>("yes");         // the answer to the offer of a PDF
    QTest::addColumn<QString>("written");  // "" when nothing is written
    QTest::addColumn<bool>("warns");
    QTest::addColumn<bool>("setup"); // Print Setup chosen and confirmed first

    QTest::newRow("save as PDF") << "window.pdf" << true << "window.pdf" << false << false;
    QTest::newRow("suffix added") << "window" << true << "window.pdf" << false << false;
    QTest::newRow("no PDF wanted") << "" << false << "" << false << false;
    QTest::newRow("file dialog cancelled") << "" << true << "" << false << false;
    QTest::newRow("folder missing: says so") << "no/such/x.pdf" << true << "" << true << false;
    // Print Setup picks printer and page only: no file is chosen there behind the user's back.
    QTest::newRow("after Print Setup") << "window.pdf" << true << "window.pdf" << false << true;
}

void TestFrmMain::printWithoutPrinter()
{
    if (WindowPrinter::printerInstalled())
        QSKIP("a printer is installed here; this is about a machine without one");
    QFETCH(QString, fileName);
    QFETCH(bool, yes);
    QFETCH(bool, warns);
    QFETCH(QString, written);
    QFETCH(bool, setup);
    const QString path = h->dir.filePath(fileName);
    if (setup) {
        QStringList offered; // the setup dialog's buttons and choices
        onNextModal<QDialog>([&](QDialog *dialog) {
            offered << dialog->windowTitle();
            for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
                offered << shownText(b->text());
            dialog->accept();
        });
        h->action("mnuPrintSetup")->trigger();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(offered, QStringList({"Print Setup", "Portrait", "Landscape", "OK", "Cancel"}));
    }

    QStringList met; // the boxes and dialogs the user meets, in order
    const std::function<void(QMessageBox *)> answer = [&](QMessageBox *box) {
        met << box->windowTitle() + QLatin1String(": ") + box->text();
        if (QAbstractButton *button = box->button(yes ? QMessageBox::Yes : QMessageBox::No))
            button->click();
        else
            box->accept(); // the warning's OK
    };
    onNextModal<QMessageBox>(answer);
    if (yes) {
        onNextModal<QFileDialog>([&](QFileDialog *dialog) {
            met << dialog->windowTitle();
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (fileName.isEmpty() || !name) return static_cast<QDialog *>(dialog)->reject();
            // Either way a box follows: the reason it failed, or the file written.
            onNextModal<QMessageBox>(answer);
            name->setText(path); // typed into the name field, as a user types it
            static_cast<QDialog *>(dialog)->accept();
        });
    }
    h->action("mnuPrint")->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());

    QStringList expected{"Print: No printer is installed.\nSave the image as a PDF file instead?"};
    if (yes) expected << QStringLiteral("Save as PDF");
    if (warns)
        expected << QStringLiteral("Print: Cannot save \"%1\": the file cannot be written.")
                        .arg(QDir::toNativeSeparators(path));
    if (!written.isEmpty())
        expected << QStringLiteral("Print: The image of the window was saved as \"%1\".")
                        .arg(QDir::toNativeSeparators(h->dir.filePath(written)));
    QCOMPARE(met, expected);
    const QStringList files = QDir(h->dir.path()).entryList({"*.pdf", "window*"}, QDir::Files);
    QCOMPARE(files, written.isEmpty() ? QStringList{} : QStringList{written});
    if (written.isEmpty()) return;
    const QByteArray pdf = readFile(h->dir.filePath(written));
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.size() > 10000); // an image, not an empty page
}

// An echo of a header line, in a Logger mode, goes through the receive timer like any answer
// and brings up the progress window. The header window stays usable and keeps the keyboard:
// what the user types meanwhile all lands in the box.
void TestFrmMain::progressWindowLeavesOwnedWindows()
{
    h->action("mnuL0")->trigger();
    h->port.setResponder([&](const QByteArray &sent) {
        if (sent.startsWith("QTH1"))
            QTimer::singleShot(0, &h->port, [&, sent] { h->port.receive(sent.mid(4)); });
    });
    QStringList during; // while the progress window is up: header window state, main window
    QString typed;
    bool seen = false;
    onNextModal<QDialog>(
        [&](QDialog *header) {
            auto *line2 = header->findChild<QLineEdit *>(QStringLiteral("Text2"));
            // Whatever happens, the window is left at the end, so the test goes on.
            auto leave = qScopeGuard([header] { header->reject(); });
            (void)QTest::qWaitForWindowActive(header);
            line2->setFocus();
            if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == line2; }, 10000))
                return;
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("555"));
            QObject::connect(&h->model(), &ScreenModel::changed, header, [&, header] {
                if (!progressWindow()->isVisible() || !during.isEmpty()) return;
                QWidget *focus = QApplication::focusWidget();
                during << QStringLiteral("header %1, focus in %2, main %3")
                              .arg(header->isEnabled() ? "enabled" : "disabled",
                                   focus ? focus->objectName() : QStringLiteral("<none>"),
                                   takesInput() ? "takes input" : "takes none");
                // Typed into whatever has the keyboard, as a keyboard does.
                if (focus) QTest::keyClicks(focus, QStringLiteral("-0199"));
            });
            QTest::keyClick(line2, Qt::Key_Return); // the line goes out; the user types on
            (void)QTest::qWaitFor([&] { return !h->program->header.texts().Text4.isEmpty(); },
                                  10000);
            typed = line2->text() + '|' + h->program->header.texts().Text4;
        },
        &seen);
    QTest::mouseClick(h->find("cmdHeader"), Qt::LeftButton);
    QVERIFY(seen);
    QVERIFY(!typed.isEmpty()); // the header window came up and took the keyboard
    QCOMPARE(during, QStringList{"header enabled, focus in Text2, main takes none"});
    QCOMPARE(typed, QStringLiteral("555-0199|") + QString(8, QLatin1Char(' ')) + "555");
    QVERIFY(takesInput() && !progressWindow()->isVisible());
}

// A box raised at the end of a reception pass stands over the window as the pass left it: the
// progress window gone, the main window taking input, the new table in place.
void TestFrmMain::boxesComeAfterTheNewTable()
{
    h->action("mnuL1")->trigger();
    const QByteArray answer = testData("streams/logger1_first_lost.txt");
    h->port.setResponder([&](const QByteArray &sent) {
        if (sent == "QTL1\n\r") QTimer::singleShot(0, &h->port, [&] { h->port.receive(answer); });
    });
    bool progressSeen = false;
    QObject::connect(&h->model(), &ScreenModel::changed, h->window.get(),
                     [&] { progressSeen = progressSeen || progressWindow()->isVisible(); });
    QStringList atBox;
    auto *table = h->find<QTableView>(QStringLiteral("MSFlexGrid1"));
    h->messages.onShow = [&](const RecordingMessages::Box &box) {
        atBox << box.title
              << QStringLiteral("progress window %1, main %2")
                     .arg(progressWindow()->isVisible() ? "up" : "gone",
                          takesInput() ? "takes input" : "takes none")
              << table->model()->index(1, 0).data().toString();
    };
    QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(h->messages.count(), 1, 10000);
    QVERIFY(progressSeen);
    QCOMPARE(atBox, QStringList({"Receiving Error", "progress window gone, main takes input",
                                 h->model().MSFlexGrid1.text(2, 1)}));
    QVERIFY(!atBox.last().isEmpty());
}

void TestFrmMain::tableAndScrollBarBrowseTogether_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("steps"); // "click N": a click on record N; "table KEY",
                                        // "scroll KEY": a key pressed there
    QTest::addColumn<int>("row");       // the browsed record after the steps
    QTest::addColumn<QString>("focus"); // the control with the keyboard

    const struct {
        const char *tag, *command, *stream, *steps;
        int row;
        const char *focus;
    } rows[] = {
        {"Store: click, then Down", "mnuStore", "store.txt", "click 5,table Down", 6,
         "MSFlexGrid1"},
        {"Store: Up on the first record", "mnuStore", "store.txt", "click 0,table Up", 0,
         "MSFlexGrid1"},
        {"Store: Right keeps the record", "mnuStore", "store.txt", "click 3,table Right", 3,
         "MSFlexGrid1"},
        {"Store: Ctrl+End goes to the last record", "mnuStore", "store.txt",
         "click 0,table Ctrl+End", 49, "MSFlexGrid1"},
        {"Logger: the scroll bar moves the table's row", "mnuL0", "logger0.txt",
         "scroll Right,scroll Right,scroll Right", 3, "HScroll1"},
        {"Logger: click, then the scroll bar", "mnuL0", "logger0.txt", "click 8,scroll Left", 7,
         "HScroll1"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.command << r.stream << r.steps << r.row << r.focus;
}

// A record picked in the table is browsed as the scroll bar browses it, and the scroll bar's
// record is the table's current row; the control with the keyboard wears the focus ring.
void TestFrmMain::tableAndScrollBarBrowseTogether()
{
    QFETCH(QString, command);
    QFETCH(QString, stream);
    QFETCH(QString, steps);
    h->action(command)->trigger();
    takeReceived(h->model(), testData("streams/" + stream));
    h->program->reception.run();
    h->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h->window.get()));
    auto *table = h->find<QTableView>(QStringLiteral("MSFlexGrid1"));
    auto *scroll = h->find<QScrollBar>(QStringLiteral("HScroll1"));
    const QHash<QString, Qt::Key> keys{{"Down", Qt::Key_Down},
                                       {"Up", Qt::Key_Up},
                                       {"Left", Qt::Key_Left},
                                       {"Right", Qt::Key_Right},
                                       {"End", Qt::Key_End}};
    for (const QString &step : steps.split(QLatin1Char(','))) {
        const QString what = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        if (what == QLatin1String("click")) {
            const QModelIndex cell = table->model()->index(arg.toInt(), 3);
            table->scrollTo(cell);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(cell).center());
        } else {
            QWidget *target =
                what == QLatin1String("table") ? static_cast<QWidget *>(table) : scroll;
            target->setFocus();
            const bool ctrl = arg.startsWith(QLatin1String("Ctrl+"));
            QTest::keyClick(target, keys.value(arg.mid(ctrl ? 5 : 0)),
                            ctrl ? Qt::ControlModifier : Qt::NoModifier);
        }
    }
    QFETCH(int, row);
    const Grid &grid = h->model().MSFlexGrid1;
    const auto browsed = [&](int r) {
        return QStringList{QString::number(r),  QString::number(r),  grid.text(r + 1, 0),
                           grid.text(r + 1, 1), grid.text(r + 1, 4), QString::number(r)};
    };
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    QCOMPARE((QStringList{QString::number(scroll->value()), QString::number(h->model().CurrentRow),
                          h->text("txtSAdd2"), h->text("txtSTime"), h->text("txtSCo"),
                          QString::number(selected.size() == 1 ? selected.first().row() : -1)}),
             browsed(row));
    QCOMPARE(h->text("txtSTime").isEmpty(), row > 12); // Store holds records 0 to 12
    QCOMPARE(table->currentIndex().row(), row);
    QFETCH(QString, focus);
    auto *ring = h->window->findChild<QFocusFrame *>(QStringLiteral("focusRing"));
    QVERIFY(ring);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(ring->widget(), QApplication::focusWidget());
    QVERIFY(ring->isVisible());
}

void TestFrmMain::tablesGrowWithTheWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QSize>("change");    // of the window's size, in pixels
    QTest::addColumn<bool>("scrolls");    // the client area scrolls
    QTest::addColumn<bool>("allColumns"); // every column of the table in sight at once

    QTest::newRow("Logger, design size") << "mnuL0"
                                         << "MSFlexGrid1" << QSize(0, 0) << false << false;
    QTest::newRow("Logger, smaller: scrolls")
        << "mnuL0"
        << "MSFlexGrid1" << QSize(-200, -150) << true << false;
    QTest::newRow("Logger, larger") << "mnuL1"
                                    << "MSFlexGrid1" << QSize(700, 300) << false << true;
    QTest::newRow("Logger, taller only") << "mnuL1"
                                         << "MSFlexGrid1" << QSize(-40, 300) << true << false;
    QTest::newRow("Tightness, larger") << "mnuTightness"
                                       << "MSFlexGrid2" << QSize(200, 100) << false << true;
}

// At its design size the window keeps the design; made larger, the tables and their frames take
// the extra room, while panels and buttons stay where they are; made smaller, it scrolls.
void TestFrmMain::tablesGrowWithTheWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, table);
    QFETCH(QSize, change);
    h->action(command)->trigger();
    const auto design = [](const char *name) {
        for (const auto *placed :
             {&MainLayout::client(), &MainLayout::frameStore(), &MainLayout::frameSL()})
            for (const Placed &p : *placed)
                if (QLatin1String(p.name) == QLatin1String(name))
                    return QRect(MainLayout::pixels(p.left), MainLayout::pixels(p.top),
                                 MainLayout::pixels(p.width), MainLayout::pixels(p.height));
        return QRect();
    };
    const QSize grown = change.expandedTo(QSize(0, 0));
    auto *view = h->find<QTableView>(table);
    const int headerLength = view->horizontalHeader()->length();
    h->window->resize(h->window->size() + change);
    const QSize client(MainLayout::pixels(MainLayout::kClientWidth),
                       MainLayout::pixels(MainLayout::kClientHeight));
    QTRY_COMPARE(h->window->clientArea()->size(), client + grown);

    const QString frame = table == QLatin1String("MSFlexGrid1") ? "FrameStore" : "FrameSL";
    QCOMPARE(view->geometry(),
             design(qPrintable(table)).adjusted(0, 0, grown.width(), grown.height()));
    QCOMPARE(h->find(frame)->geometry(),
             design(qPrintable(frame)).adjusted(0, 0, grown.width(), grown.height()));
    for (const char *fixed : {"cmdStart", "HScroll1", "txtSCo", "txtSLMeasure"}) {
        if (h->find(fixed)->isVisible()) QCOMPARE(h->find(fixed)->geometry(), design(fixed));
    }
    auto *scroll = h->find<QScrollArea>(QStringLiteral("clientScroll"));
    QTEST(scroll->horizontalScrollBar()->maximum() + scroll->verticalScrollBar()->maximum() > 0,
          "scrolls");
    // The columns keep their widths: the room shows more of them.
    QCOMPARE(view->horizontalHeader()->length(), headerLength);
    QTEST(view->horizontalHeader()->length() <= view->viewport()->width(), "allColumns");
}

void TestFrmMain::progressWindowCountsTheAnswer_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<int>("parts");   // the answer arrives in so many pieces
    QTest::addColumn<int>("records"); // in the whole answer
    QTest::addColumn<int>("runs");    // downloads one after the other
    QTest::newRow("logger page 1, three pieces") << "mnuL1"
                                                 << "logger1.txt" << 3 << 37 << 2;
    QTest::newRow("single logger page 0, two pieces") << "mnuSL0"
                                                      << "single0.txt" << 2 << 30 << 1;
    QTest::newRow("tightness, three pieces") << "mnuTightness"
                                             << "tightness.txt" << 3 << 6 << 1;
}

// While an answer arrives, the progress window tells the bytes and records received so far and
// the time taken; each download counts from nothing.
void TestFrmMain::progressWindowCountsTheAnswer()
{
    QFETCH(QString, command);
    QFETCH(QString, stream);
    QFETCH(int, parts);
    QFETCH(int, records);
    QFETCH(int, runs);
    const QByteArray answer = testData("streams/" + stream);
    h->action(command)->trigger();
    // The window opens at the first quiet tick; a long one lets the pieces come within it.
    h->program->transfer.setTimer3Interval(1000);
    auto *counts = progressWindow()->findChild<QLabel *>(QStringLiteral("labProgress"));
    QVERIFY(counts);
    const QRegularExpression shape(QStringLiteral("^(\\d+) bytes, (\\d+) records?, \\d+:\\d\\d$"));
    QSignalSpy finished(&h->program->transfer, &Transfer::receptionFinished);
    for (int run = 1; run <= runs; ++run) {
        QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
        QStringList bytes, shownRecords;
        const int piece = int(answer.size() + parts - 1) / parts;
        for (int i = 0; i < parts; ++i) {
            h->port.receive(answer.mid(i * piece, piece));
            if (i == 0) QTRY_VERIFY_WITH_TIMEOUT(progressWindow()->isVisible(), 10000);
            const QRegularExpressionMatch m = shape.match(counts->text());
            QVERIFY2(m.hasMatch(), qPrintable(counts->text()));
            bytes << m.captured(1);
            shownRecords << m.captured(2);
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), run, 10000);
        QStringList expectedBytes;
        for (int i = 1; i <= parts; ++i)
            expectedBytes << QString::number(qMin(i * piece, int(answer.size())));
        QCOMPARE(bytes, expectedBytes);
        QCOMPARE(shownRecords.last(), QString::number(records));
        // Records are counted as they come, not all at the end.
        QVERIFY2(shownRecords.first().toInt() > 0 && shownRecords.first().toInt() < records,
                 qPrintable(shownRecords.join(' ')));
    }
}

void TestFrmMain::receiveLampBlinksOnlyInRealMode_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("start");   // Start pressed before the bytes come
    QTest::addColumn<QString>("lamp"); // after each of four receive events
    QTest::newRow("live run") << "mnuReal" << true << "menu green menu green";
    QTest::newRow("Real Mode, not started") << "mnuReal" << false << "menu green menu green";
    QTest::newRow("Store download") << "mnuStore" << true << "green green green green";
}

// The receive lamp changes at each receive event, between green and the menu colour, and only
// in Real Mode.
void TestFrmMain::receiveLampBlinksOnlyInRealMode()
{
    QFETCH(QString, command);
    auto *lamp = h->find<ReceiveLamp>(QStringLiteral("Shape1"));
    h->action(command)->trigger();
    h->program->transfer.setTimer3Interval(5000); // no pass in between: only the events count
    QFETCH(bool, start);
    if (start) QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        h->port.receive("<BTInstReading\n\r");
        const QColor c = lamp->fillColour();
        seen << (c == QColor(0, 192, 0)                         ? "green"
                 : c == lamp->palette().color(QPalette::Window) ? "menu"
                                                                : c.name());
    }
    QTEST(seen.join(' '), "lamp");
}

void TestFrmMain::infraredStopLetsTheReadingGo_data()
{
    QTest::addColumn<QByteArray>("arrived");
    QTest::newRow("half a reading") << testData("streams/real.txt").left(200);
    QTest::newRow("a whole reading, not yet shown") << testData("streams/real.txt");
}

// Stop on the infrared link lets go of what had arrived of a reading: the receive buffer is
// emptied and the receive timer stopped, so no pass runs over it later.
void TestFrmMain::infraredStopLetsTheReadingGo()
{
    QFETCH(QByteArray, arrived);
    QCOMPARE(h->model().LinkType, qint16(1));
    h->program->transfer.setTimer3Interval(5000);
    QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    h->port.receive(arrived);
    QVERIFY(h->program->transfer.timer3Active());
    QVERIFY(!h->find<QPlainTextEdit>(QStringLiteral("Text8"))->toPlainText().isEmpty());
    QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    QVERIFY(!h->port.isOpen());
    QCOMPARE(h->model().ReceiveBuffer, QByteArray());
    QCOMPARE(h->find<QPlainTextEdit>(QStringLiteral("Text8"))->toPlainText(), QString());
    QVERIFY(!h->program->transfer.timer3Active());
    QCOMPARE(h->text("txtRCo"), QString());
}

void TestFrmMain::lineFaultsWithinTheReportTimeGiveOneBox_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("start");
    QTest::addColumn<QString>("faults"); // B: a line break; W: wait for the next box
    QTest::addColumn<int>("boxes");
    QTest::newRow("two breaks in a live run") << "mnuReal" << true << "BB" << 1;
    QTest::newRow("two breaks, idle in a Logger mode") << "mnuL0" << false << "BB" << 1;
    QTest::newRow("a break after the box: a box again") << "mnuStore" << false << "BBWB" << 2;
}

// A line fault is reported after a while, once for all the faults that came meanwhile.
void TestFrmMain::lineFaultsWithinTheReportTimeGiveOneBox()
{
    QFETCH(QString, command);
    QFETCH(bool, start);
    QFETCH(QString, faults);
    h->action(command)->trigger();
    if (start) QTest::mouseClick(h->find("cmdStart"), Qt::LeftButton);
    int waited = 0;
    for (const QChar step : faults) {
        if (step == QLatin1Char('B')) h->port.raise(CommEvent::Break);
        if (step == QLatin1Char('W')) {
            ++waited;
            QTRY_COMPARE_WITH_TIMEOUT(h->messages.count(), waited, 10000);
        }
    }
    QFETCH(int, boxes);
    QTRY_COMPARE_WITH_TIMEOUT(h->messages.count(), boxes, 10000);
    // Longer than the report time: a box for the second fault of a pair would be up by now.
    QTest::qWait(Transfer::kTimer4Ms + 500);
    QCOMPARE(h->messages.lines(),
             QStringList(boxes, "Communication Error: Check Analyser and Adapter, or Change the "
                                "Communication Setup."));
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start")); // a live run is over
}

void TestFrmMain::modeSwitchKeepsScrollValue_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"mnuReal", "mnuStore", "mnuL1", "mnuSL2", "mnuTightness"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

// A mode switch leaves the scroll bar's value as it was (the unit labels keep theirs too, which
// the switch's own test checks on every panel).
void TestFrmMain::modeSwitchKeepsScrollValue()
{
    QFETCH(QString, command);
    h->action("mnuL0")->trigger();
    auto *scroll = h->find<QScrollBar>(QStringLiteral("HScroll1"));
    scroll->setValue(7);
    h->action(command)->trigger();
    QCOMPARE(scroll->value(), 7);
    QCOMPARE(h->model().HScroll1Value, 7);
}

void TestFrmMain::chartMenuCaptions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("menus"); // caption in quotes, "off" when disabled
    const QStringList rest{"\"   Print   \"", "\"   View   \"", "\"   Exit   \""};
    // Which menu a page enables is the chart window's own test; here the titles as shown.
    QTest::newRow("Logger page 3")
        << "mnuL3" << QStringList{"\"  Logger  \"", "\"SingleLogger\" off"} + rest;
}

// The chart window's menu titles, spaces and all, enabled by the mode it was opened in.
void TestFrmMain::chartMenuCaptions()
{
    QFETCH(QString, command);
    h->action(command)->trigger();
    QStringList shown;
    onNextModal<frmChart>([&](frmChart *chart) {
        const QList<QAction *> titles = chart->findChild<QMenuBar *>()->actions();
        for (QAction *a : titles.mid(0, 5))
            shown << '"' + a->text() + '"' + (a->isEnabled() ? "" : " off");
        chart->close();
    });
    QTest::mouseClick(h->find("cmdChart"), Qt::LeftButton);
    QTEST(shown, "menus");
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
