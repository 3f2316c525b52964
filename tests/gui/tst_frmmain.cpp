#include "MainWindowHarness.h"
#include "charts/frmChart.h"
#include "tables/GridModel.h"
#include "tables/ReceiveLamp.h"
#include "tables/UnitLabel.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

// The main window driven through its menus, buttons and scroll bar, as a user drives it.
class TestFrmMain : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpLayout();
    void menuBar_data();
    void menuBar();
    void everyMenuCommandHasAnAccessKey();
    void modeMenuWorksFromTheKeyboard();
    void placement_data();
    void placement();
    void fonts_data();
    void fonts();
    void tableColumnWidths_data();
    void tableColumnWidths();
    void modeSwitch_data();
    void modeSwitch();
    void browse_data();
    void browse();
    void chartButton_data();
    void chartButton();
    void windowFollowsTheModel();
    void panelShowsMarkupAsText();
    void unitLabelShowsTheWholeUnit_data();
    void unitLabelShowsTheWholeUnit();
    void resizing();
    void exitClosesPortAndWindow();

private:
    // The frame the user sees at a point of the display area: the topmost one there.
    QString frameSeen() const;
    QStringList headersShown(const char *table) const;

    QTemporaryDir *m_dir = nullptr;
    QString m_previousDir;
    MainWindowHarness *h = nullptr;
};

void TestFrmMain::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    h = new MainWindowHarness;
    QVERIFY(QTest::qWaitForWindowExposed(h->window.get()));
}

void TestFrmMain::cleanup()
{
    delete h;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
}

QString TestFrmMain::frameSeen() const
{
    QWidget *client = h->window->clientArea();
    // A point inside the frames' rectangle, left of every panel and table.
    QWidget *w = client->childAt(MainLayout::pixels(2040 + 120), MainLayout::pixels(120 + 300));
    for (; w && w != client; w = w->parentWidget()) {
        if (w->objectName().startsWith(QLatin1String("Frame")) && qobject_cast<QGroupBox *>(w) &&
            w->parentWidget() == client)
            return w->objectName();
    }
    return QStringLiteral("<none>");
}

QStringList TestFrmMain::headersShown(const char *table) const
{
    auto *view = h->find<QTableView>(table);
    QStringList headers;
    if (!view) return {QStringLiteral("<no table>")};
    // The corner cell first, then the header row over the data columns.
    headers << qobject_cast<GridModel *>(view->model())->cornerText();
    for (int c = 0; c < view->model()->columnCount(); ++c)
        headers << view->model()->headerData(c, Qt::Horizontal).toString();
    return headers;
}

void TestFrmMain::startUpLayout()
{
    QCOMPARE(h->window->windowTitle(), QStringLiteral("NRV508 Window Program ver 2.42"));
    QCOMPARE(frameSeen(), QStringLiteral("FrameReal"));
    QVERIFY(!h->shows("FrameStore"));
    QVERIFY(!h->shows("FrameSL"));
    QCOMPARE(h->find<QGroupBox>("FrameReal")->title(), QStringLiteral("Real Mode Data"));
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    QVERIFY(h->find("cmdStart")->isEnabled());
    QVERIFY(!h->find("cmdChart")->isEnabled());
    QVERIFY(h->find("cmdHeader")->isEnabled());
    QCOMPARE(h->text("Label2"), QStringLiteral("Ver. :"));
    QCOMPARE(h->text("txtVersion"), QString());
    for (const char *panel :
         {"txtRDate", "txtRTime", "txtRCo", "txtRO2", "txtRCo2", "txtRRatio", "txtRXair", "txtREff",
          "txtRTemp1", "txtRTemp2", "txtRPressure", "txtRFuel"}) {
        QVERIFY2(h->shows(panel), panel);
        QCOMPARE(h->text(panel), QString());
    }
    QCOMPARE(h->text("labRT1Unit"), QStringLiteral("'C"));
    QCOMPARE(h->text("labRPUnit"), QStringLiteral("mbar"));
    QVERIFY(!h->shows("MSFlexGrid4"));
    QVERIFY(!h->shows("Text8"));
    QVERIFY(h->find("Text8"));
    // Single-logger headers are written at start-up, before any switch.
    QCOMPARE(h->model().MSFlexGrid3.text(0, 2), QStringLiteral("Value2"));
    QVERIFY(h->port.log().isEmpty()); // the port stays closed
}

void TestFrmMain::menuBar_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries"); // name=caption as shown, "-" a separator

    QTest::newRow("File") << "mnuFile"
                          << "File" << QStringList{"mnuOpen=Open",
                                                   "mnuSave=Save",
                                                   "-",
                                                   "mnuPrint=Print",
                                                   "mnuPrintSetup=Print Setup",
                                                   "-",
                                                   "mnuExit=Exit (X)"};
    QTest::newRow("Mode") << "mnuMode"
                          << "Mode"
                          << QStringList{"mnuReal=Real Mode", "mnuStore=Store Mode",
                                         "mnuLogger=Logger Mode", "mnuSingle=Single Logger Mode",
                                         "mnuTightness=Tightness Mode"};
    QTest::newRow("Logger") << "mnuLogger"
                            << "Logger Mode"
                            << QStringList{"mnuL0=Page0", "mnuL1=Page1", "mnuL2=Page2",
                                           "mnuL3=Page3"};
    QTest::newRow("Single") << "mnuSingle"
                            << "Single Logger Mode"
                            << QStringList{"mnuSL0=Page0", "mnuSL1=Page1", "mnuSL2=Page2",
                                           "mnuSL3=Page3", "mnuSL4=Page4"};
    QTest::newRow("Setup") << "mnuSetup"
                           << "Setup" << QStringList{"mnuSet=Communication Setup"};
}

void TestFrmMain::menuBar()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    auto *m = h->window->findChild<QMenu *>(menu);
    QVERIFY(m);
    QTEST(shownText(m->title()), "title");
    QStringList shown;
    for (QAction *a : m->actions()) {
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
        shown << (a->isSeparator() ? QStringLiteral("-")
                                   : a->objectName() + QLatin1Char('=') + shownText(a->text()));
    }
    QCOMPARE(shown, entries);
}

void TestFrmMain::everyMenuCommandHasAnAccessKey()
{
    const QList<QMenu *> menus = h->window->findChildren<QMenu *>();
    QVERIFY(menus.size() >= 5);
    QStringList topKeys;
    for (QAction *top : h->window->menuBar()->actions())
        topKeys << top->text().section(QLatin1Char('&'), 1).left(1).toLower();
    QCOMPARE(topKeys.removeDuplicates(), 0);
    QCOMPARE(topKeys.size(), 3);
    for (QMenu *menu : menus) {
        QStringList keys;
        for (QAction *a : menu->actions()) {
            if (a->isSeparator()) continue;
            const QString key = a->text().section(QLatin1Char('&'), 1).left(1).toLower();
            QVERIFY2(!key.isEmpty(), qPrintable(a->text()));
            keys << key;
        }
        QVERIFY2(keys.removeDuplicates() == 0, qPrintable(menu->objectName()));
    }
}

void TestFrmMain::modeMenuWorksFromTheKeyboard()
{
    QMenuBar *bar = h->window->menuBar();
    auto *mode = h->window->findChild<QMenu *>(QStringLiteral("mnuMode"));
    h->window->activateWindow();
    QTest::keyClick(h->window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(mode->isVisible());
    QTest::keyClick(mode, Qt::Key_S);
    QTRY_COMPARE(h->model().CurrentMode, 1);
    QCOMPARE(frameSeen(), QStringLiteral("FrameStore"));
    Q_UNUSED(bar);
}

void TestFrmMain::placement_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("cmdStart") << "cmdStart"
                              << "clientArea" << QRect(240, 1560, 1455, 735);
    QTest::newRow("cmdChart") << "cmdChart"
                              << "clientArea" << QRect(240, 3000, 1455, 495);
    QTest::newRow("cmdHeader") << "cmdHeader"
                               << "clientArea" << QRect(240, 4080, 1455, 495);
    QTest::newRow("txtVersion") << "txtVersion"
                                << "clientArea" << QRect(840, 480, 855, 375);
    QTest::newRow("Shape1") << "Shape1"
                            << "clientArea" << QRect(240, 1080, 375, 375);
    for (const char *frame : {"FrameReal", "FrameStore", "FrameSL"})
        QTest::newRow(frame) << frame << "clientArea" << QRect(2040, 120, 7695, 7335);
    QTest::newRow("txtRDate") << "txtRDate"
                              << "FrameReal" << QRect(1920, 600, 1455, 375);
    QTest::newRow("txtRCo") << "txtRCo"
                            << "FrameReal" << QRect(1920, 1800, 1095, 375);
    QTest::newRow("txtRFuel") << "txtRFuel"
                              << "FrameReal" << QRect(1920, 6120, 1455, 375);
    QTest::newRow("Frame1") << "Frame1"
                            << "FrameReal" << QRect(3840, 480, 3495, 6375);
    QTest::newRow("txtSAdd2") << "txtSAdd2"
                              << "FrameStore" << QRect(1800, 600, 1335, 375);
    QTest::newRow("txtSPressure") << "txtSPressure"
                                  << "FrameStore" << QRect(1800, 6120, 1335, 375);
    QTest::newRow("txtSFuel") << "txtSFuel"
                              << "FrameStore" << QRect(1800, 6600, 1575, 375);
    QTest::newRow("txtLFuel") << "txtLFuel"
                              << "FrameStore" << QRect(1800, 6600, 1575, 375);
    QTest::newRow("HScroll1") << "HScroll1"
                              << "FrameStore" << QRect(3720, 600, 2415, 255);
    QTest::newRow("MSFlexGrid1") << "MSFlexGrid1"
                                 << "FrameStore" << QRect(3720, 1560, 3735, 5415);
    QTest::newRow("txtSLMeasure") << "txtSLMeasure"
                                  << "FrameSL" << QRect(2880, 555, 3855, 375);
    QTest::newRow("txtSLUnit") << "txtSLUnit"
                               << "FrameSL" << QRect(1320, 6600, 735, 375);
    QTest::newRow("MSFlexGrid3") << "MSFlexGrid3"
                                 << "FrameSL" << QRect(4440, 1200, 3015, 5895);
    QTest::newRow("MSFlexGrid2") << "MSFlexGrid2"
                                 << "FrameSL" << QRect(1680, 1200, 5085, 5895);
}

void TestFrmMain::placement()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QWidget *w = h->window->findChild<QWidget *>(name);
    QVERIFY(w);
    QTEST(w->parentWidget()->objectName(), "container");
    const QRect expected(MainLayout::pixels(twips.x()), MainLayout::pixels(twips.y()),
                         MainLayout::pixels(twips.width()), MainLayout::pixels(twips.height()));
    QCOMPARE(w->geometry(), expected);
}

void TestFrmMain::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("frame caption") << "FrameStore" << 12.0 << true;
    QTest::newRow("label") << "Label15" << 12.0 << false;
    QTest::newRow("panel") << "txtSCo" << 12.0 << true;
    QTest::newRow("unit label") << "Label40" << 9.0 << true;
    QTest::newRow("button") << "cmdStart" << 9.75 << true;
    QTest::newRow("version") << "txtVersion" << 9.75 << true;
    QTest::newRow("table") << "MSFlexGrid1" << 9.0 << true;
}

void TestFrmMain::fonts()
{
    QFETCH(QString, name);
    QWidget *w = h->window->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->font().family(), QStringLiteral("Arial"));
    QTEST(w->font().pointSizeF(), "points");
    QTEST(w->font().bold(), "bold");
}

void TestFrmMain::tableColumnWidths_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QList<int>>("spaces"); // column 0 first

    QTest::newRow("record table") << "MSFlexGrid1" << QList<int>{7,  17, 17, 23, 15, 15, 15, 15,
                                                                 15, 15, 15, 15, 15, 15, 15};
    QTest::newRow("single logger table") << "MSFlexGrid3" << QList<int>{8, 22, 22};
    QTest::newRow("tightness table before its switch")
        << "MSFlexGrid2" << QList<int>{7, 18, 18, 18, 18, 12, 18, 18, 19};
}

void TestFrmMain::tableColumnWidths()
{
    QFETCH(QString, table);
    QFETCH(QList<int>, spaces);
    auto *view = h->window->findChild<QTableView *>(table);
    QVERIFY(view);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    font.setBold(true);
    const QFontMetrics metrics(font);
    auto width = [&](int n) { return metrics.horizontalAdvance(QString(n, QLatin1Char(' '))); };

    QVERIFY(width(7) > 7); // a real font, not a zero-width fallback
    QCOMPARE(view->verticalHeader()->width(), width(spaces.first()));
    QCOMPARE(view->model()->columnCount() + 1, spaces.size());
    for (int c = 1; c < spaces.size(); ++c)
        QCOMPARE(view->columnWidth(c - 1), width(spaces.at(c)));
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestFrmMain::modeSwitch_data()
{
    QTest::addColumn<QString>("before"); // a menu command run first, or ""
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    QTest::addColumn<bool>("chart");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<QStringList>("headers");

    const QStringList record{"Add",  "Time", "Date",  "Fuel",  "CO",    "O2",     "CO2",   "Ratio",
                             "XAir", "Eff.", "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"};
    const QStringList single{"Add", "Value1", "Value2"};
    const QStringList tightness{"Add", "Date", "Time", "P1_Start", "P2_Stop", "Unit"};
    const QStringList storeCommon{"txtSAdd2",     "txtSDate",   "txtSTime", "txtSCo",
                                  "txtSPressure", "labST1Unit", "HScroll1", "MSFlexGrid1"};
    const QStringList slFields{"txtSLDate", "txtSLTime", "txtSLSample", "txtSLUnit",
                               "Label26",   "Label27",   "Label28",     "Label37"};

    QTest::newRow("Real after Store")
        << "mnuStore"
        << "mnuReal"
        << "FrameReal"
        << "Real Mode Data" << QStringList{"txtRCo", "txtRFuel", "labRPUnit", "Frame1"}
        << QStringList{"FrameStore"} << false << "" << 0 << QStringList{};
    QTest::newRow("Store after Logger")
        << "mnuL2"
        << "mnuStore"
        << "FrameStore"
        << "Store Mode Data" << storeCommon + QStringList{"txtSFuel"}
        << QStringList{"txtLFuel", "Label25", "txtSSample"} << false << "MSFlexGrid1" << 50
        << record;
    for (int page = 0; page < 4; ++page) {
        QTest::addRow("Logger page %d", page)
            << "mnuStore" << QStringLiteral("mnuL%1").arg(page) << "FrameStore"
            << QStringLiteral("Logger Mode Data #%1").arg(page)
            << storeCommon + QStringList{"txtLFuel", "Label25", "txtSSample"} << QStringList{}
            << true << "MSFlexGrid1" << 100 << record;
    }
    for (int page = 0; page < 5; ++page) {
        QTest::addRow("Single Logger page %d after Tightness", page)
            << "mnuTightness" << QStringLiteral("mnuSL%1").arg(page) << "FrameSL"
            << QStringLiteral("Single Logger Mode Data #%1").arg(page)
            << slFields + QStringList{"Label30", "txtSLMeasure", "MSFlexGrid3"}
            << QStringList{"MSFlexGrid2", "FrameStore"} << true << "MSFlexGrid3" << 30 << single;
    }
    QTest::newRow("Tightness after Single Logger")
        << "mnuSL3"
        << "mnuTightness"
        << "FrameSL"
        << "Tightness Mode" << QStringList{"Label30", "txtSLMeasure", "MSFlexGrid2"}
        << slFields + QStringList{"MSFlexGrid3"} << false << "MSFlexGrid2" << 50 << tightness;
    QTest::newRow("Logger after Real keeps the Chart rule")
        << "mnuReal"
        << "mnuL1"
        << "FrameStore"
        << "Logger Mode Data #1" << QStringList{"txtLFuel", "MSFlexGrid1"} << QStringList{} << true
        << "MSFlexGrid1" << 100 << record;
}

void TestFrmMain::modeSwitch()
{
    QFETCH(QString, before);
    QFETCH(QString, command);
    QFETCH(QString, table);
    if (!before.isEmpty()) h->window->findChild<QAction *>(before)->trigger();
    // Something to be emptied, and a Start button to be reset.
    h->model().MSFlexGrid1.setText(3, 4, QStringLiteral("999"));
    h->model().cmdStart.caption = QStringLiteral("Stop");
    h->model().notify();

    QAction *action = h->window->findChild<QAction *>(command);
    QVERIFY(action);
    action->trigger();

    QTEST(frameSeen(), "frame");
    auto *frame = h->window->findChild<QGroupBox *>(frameSeen());
    QTEST(frame->title(), "caption");
    QFETCH(QStringList, shown);
    for (const QString &name : shown)
        QVERIFY2(h->shows(name.toLatin1().constData()), qPrintable(name + " hidden"));
    QFETCH(QStringList, hidden);
    for (const QString &name : hidden)
        QVERIFY2(!h->shows(name.toLatin1().constData()), qPrintable(name + " shown"));
    QCOMPARE(h->text("cmdStart"), QStringLiteral("Start"));
    QTEST(h->find("cmdChart")->isEnabled(), "chart");
    if (table.isEmpty()) return;
    auto *view = h->find<QTableView>(table.toLatin1().constData());
    QTEST(view->model()->rowCount(), "dataRows");
    QTEST(headersShown(table.toLatin1().constData()), "headers");
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        for (int c = 0; c < view->model()->columnCount(); ++c)
            QVERIFY(view->model()->index(r, c).data().toString().isEmpty());
    }
    if (table == QLatin1String("MSFlexGrid1")) {
        auto *scroll = h->find<QScrollBar>("HScroll1");
        QCOMPARE(scroll->maximum(), view->model()->rowCount() - 1);
    }
}

void TestFrmMain::browse_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<int>("steps");          // presses of the right arrow from value 0
    QTest::addColumn<QStringList>("panels"); // name=caption

    QTest::newRow("Store: the row's own units")
        << "mnuStore"
        << "store.txt" << 5 << QStringList{"txtSAdd2=5",    "txtSCo=35",       "labST1Unit='F",
                                           "labST2Unit='F", "labSPUnit=inH2O", "txtSFuel=Propane"};
    QTest::newRow("Store: units change back")
        << "mnuStore"
        << "store.txt" << 7
        << QStringList{"txtSAdd2=7", "txtSCo=9", "labST1Unit='C", "labSPUnit=hPa"};
    QTest::newRow("Store: a row no download filled")
        << "mnuStore"
        << "store.txt" << 20 << QStringList{"txtSAdd2=", "txtSCo=", "labST1Unit=", "labSPUnit="};
    QTest::newRow("Logger: units stay, header fuel stays")
        << "mnuL0"
        << "logger0.txt" << 3
        << QStringList{"txtSAdd2=3",           "txtSTime=23:13:00",  "txtSCo=25",
                       "labST1Unit='C",        "labST2Unit='C",      "labSPUnit=mbar",
                       "txtLFuel=Natural Gas", "txtSSample=00:01:00"};
}

void TestFrmMain::browse()
{
    QFETCH(QString, command);
    QFETCH(QString, stream);
    QFETCH(int, steps);
    h->window->findChild<QAction *>(command)->trigger();
    QVERIFY(h->download(h->model().CurrentMode, stream));
    auto *scroll = h->find<QScrollBar>("HScroll1");
    QCOMPARE(scroll->value(), 0);
    scroll->setFocus();
    // One step too far and back: the right arrow goes forward, the left one back.
    for (int i = 0; i <= steps; ++i)
        QTest::keyClick(scroll, Qt::Key_Right);
    QTest::keyClick(scroll, Qt::Key_Left);

    QCOMPARE(scroll->value(), steps);
    QCOMPARE(int(h->model().CurrentRow), steps);
    QFETCH(QStringList, panels);
    for (const QString &entry : panels) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        QCOMPARE(name + QLatin1Char('=') + h->text(name.toLatin1().constData()), entry);
    }
}

void TestFrmMain::chartButton_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("opens");

    const QStringList refused{QStringLiteral("Chart: Not Support !")};
    QTest::newRow("Real") << "mnuReal" << refused << false;
    QTest::newRow("Store") << "mnuStore" << refused << false;
    QTest::newRow("Logger") << "mnuL0" << QStringList{} << true;
    QTest::newRow("Single Logger") << "mnuSL4" << QStringList{} << true;
    QTest::newRow("Tightness") << "mnuTightness" << QStringList{} << true;
}

void TestFrmMain::chartButton()
{
    QFETCH(QString, command);
    h->window->findChild<QAction *>(command)->trigger();
    // Enabled as an opened data file may leave it, so the rule itself is reached.
    h->model().cmdChart.enabled = true;
    h->model().notify();
    QFETCH(bool, opens);
    bool opened = false;
    if (opens) // a window where none belongs would block the click, and the test times out
        onNextModal<frmChart>([](frmChart *w) { w->close(); }, &opened);

    QTest::mouseClick(h->find("cmdChart"), Qt::LeftButton);

    QTEST(h->messages.lines(), "messages");
    if (h->messages.count() == 1)
        QCOMPARE(h->messages.boxes().first().icon, MessageIcon::Information);
    QCOMPARE(opened, opens);
}

void TestFrmMain::windowFollowsTheModel()
{
    ScreenModel &m = h->model();
    m.frmMain.enabled = false;
    m.mnuMode.enabled = false;
    m.cmdHeader.enabled = false;
    m.txtVersion.caption = QStringLiteral("2.05");
    m.Shape1Fill = LampColour::MenuColour;
    m.notify();

    QVERIFY(!h->window->isEnabled());
    QVERIFY(!h->action("mnuMode")->isEnabled());
    QVERIFY(!h->find("cmdHeader")->isEnabled());
    QCOMPARE(h->text("txtVersion"), QStringLiteral("2.05"));
    auto *lamp = h->find<ReceiveLamp>("Shape1");
    QCOMPARE(lamp->fillColour(), lamp->palette().color(QPalette::Window));

    // The window comes back; the menu the model keeps disabled stays so.
    m.frmMain.enabled = true;
    m.Shape1Fill = LampColour::Green;
    m.notify();
    QVERIFY(h->window->isEnabled());
    QVERIFY(h->action("mnuFile")->isEnabled());
    QVERIFY(!h->action("mnuMode")->isEnabled());
    QVERIFY(!h->find("cmdHeader")->isEnabled());
    QCOMPARE(lamp->fillColour(), QColor(0, 192, 0));

    m.mnuMode.enabled = true;
    m.notify();
    QVERIFY(h->action("mnuMode")->isEnabled());
}

void TestFrmMain::panelShowsMarkupAsText()
{
    // Values come from the instrument and from files; none of them is markup.
    h->model().txtRFuel.caption = QStringLiteral("<b>Oil</b>");
    h->model().FrameReal.caption = QStringLiteral("Oil & Gas");
    h->model().notify();
    auto *panel = h->find<QLabel>("txtRFuel");
    QCOMPARE(panel->textFormat(), Qt::PlainText);
    QCOMPARE(panel->text(), QStringLiteral("<b>Oil</b>"));
    QCOMPARE(shownText(h->find<QGroupBox>("FrameReal")->title()), QStringLiteral("Oil & Gas"));
}

void TestFrmMain::unitLabelShowsTheWholeUnit_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("shrinks");

    QTest::newRow("mbar fits") << "mbar" << false;
    QTest::newRow("degrees fit") << "'F" << false;
    QTest::newRow("inH2O shrinks") << "inH2O" << true;
    QTest::newRow("mmH2O shrinks") << "mmH2O" << true;
}

void TestFrmMain::unitLabelShowsTheWholeUnit()
{
    QFETCH(QString, unit);
    h->action("mnuStore")->trigger();
    h->model().labSPUnit.caption = unit;
    h->model().notify();
    auto *label = h->find<UnitLabel>("labSPUnit");
    QVERIFY(label);
    QCOMPARE(label->text(), unit);
    const QFont shown = label->fittedFont();
    QVERIFY2(QFontMetrics(shown).horizontalAdvance(unit) <= label->contentsRect().width(),
             qPrintable(QString::number(shown.pointSizeF())));
    QTEST(shown.pointSizeF() < label->font().pointSizeF(), "shrinks");
}

void TestFrmMain::resizing()
{
    QWidget *client = h->window->clientArea();
    const QSize design(MainLayout::pixels(9930), MainLayout::pixels(7575));
    QCOMPARE(client->size(), design);
    auto *scroll = h->window->findChild<QScrollArea *>();
    // At the size it opens with, all of the design is in view.
    QVERIFY(scroll->viewport()->width() >= design.width());
    QVERIFY(scroll->viewport()->height() >= design.height());
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());

    h->window->resize(design.width() / 2, design.height() / 2);
    QTRY_VERIFY(scroll->horizontalScrollBar()->isVisible());
    QVERIFY(scroll->verticalScrollBar()->isVisible());
    QCOMPARE(client->size(), design); // the frames keep their layout

    h->window->resize(design.width() + 300, design.height() + 200);
    QTRY_VERIFY(!scroll->horizontalScrollBar()->isVisible());
    QCOMPARE(client->size(), design);
}

void TestFrmMain::exitClosesPortAndWindow()
{
    h->port.setOpenQuietly(true);
    h->action("mnuExit")->trigger();
    QVERIFY(!h->port.isOpen());
    QCOMPARE(h->port.log(), QStringList{"close"});
    QVERIFY(!h->window->isVisible());
    QCOMPARE(h->messages.count(), 0);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
