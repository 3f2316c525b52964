// The archive in the program: what the main window archives by itself, and the archive
// window through its real widgets, offscreen.

#include "ArchiveTestFiles.h"
#include "MainWindowHarness.h"

#include "archive/Archive.h"
#include "archive/ArchiveActions.h"
#include "archive/Archiver.h"
#include "archive/frmArchive.h"
#include "charts/frmChart.h"
#include "files/DataFile.h"
#include "files/FileMenu.h"
#include "tables/Modes.h"

using namespace ArchiveTestFiles;

class tst_archive_window : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void downloadsArchived();
    void filesArchived_data();
    void filesArchived();
    void failureToldOnce();
    void filter_data();
    void filter();
    void openIntoMainWindow();
    void labelInPlace();
    void deleteAfterConfirmation_data();
    void deleteAfterConfirmation();
    void fetchesAsScrolled();
    void keepsSelectionWhileLiveRunRecords_data();
    void keepsSelectionWhileLiveRunRecords();
    void pickOrder_data();
    void pickOrder();
    void exportTargets_data();
    void exportTargets();

private:
    QString db() const { return m_harness->dir.filePath(QStringLiteral("archive.sqlite")); }
    void download(int mode, const QString &stream);
    // Fills the archive with every expected file; logger0 for "Acme" at "North Plant".
    void fill();
    frmArchive *openWindow();
    int rowOf(const QString &file);
    // A Ctrl+click on the file's row, as a user adds a download to the selection.
    void pick(frmArchive *window, const QString &file);
    QStringList sourcesOf(const QList<qint64> &ids);

    std::unique_ptr<MainWindowHarness> m_harness;
    Archive m_archive; // the test's own connection to the same archive
};

void tst_archive_window::init()
{
    m_harness = std::make_unique<MainWindowHarness>();
    m_harness->program->archiver.enable(db());
    QString error;
    QVERIFY2(m_archive.open(db(), &error), qPrintable(error));
}

void tst_archive_window::cleanup()
{
    m_archive.close();
    m_harness.reset();
}

void tst_archive_window::download(int mode, const QString &stream)
{
    Program &p = *m_harness->program;
    p.modes.switchTo(mode);
    QSignalSpy passes(&p.transfer, &Transfer::receptionFinished);
    p.transfer.startStop();
    m_harness->port.receive(testData("streams/" + stream));
    QTRY_VERIFY_WITH_TIMEOUT(!passes.isEmpty() && p.transfer.lastPassCompletedStream(), 20000);
}

void tst_archive_window::fill()
{
    QString error;
    for (const QString &name : names())
        QVERIFY(m_archive.addDataFile(read(name), {"file", name, {}}, &error));
    const auto first = m_archive.list({}, 0, 100, &error);
    for (const ArchiveEntry &e : *first)
        if (e.source == "logger0.txt")
            QVERIFY(m_archive.label(e.id, {"Acme", "North Plant", {}}, &error));
}

frmArchive *tst_archive_window::openWindow()
{
    m_harness->action("mnuArchiveBrowse")->trigger();
    auto *window = m_harness->find<frmArchive>("frmArchive");
    if (window && !QTest::qWaitForWindowExposed(window))
        qWarning("the archive window was never exposed");
    return window;
}

int tst_archive_window::rowOf(const QString &file)
{
    auto *window = m_harness->find<frmArchive>("frmArchive");
    for (int row = 0; row < window->model().rowCount(); ++row)
        if (window->model().entryAt(row).source == file) return row;
    return -1;
}

void tst_archive_window::downloadsArchived()
{
    download(1, "store.txt");
    download(4, "logger2.txt");
    download(4, "logger2.txt"); // the same page again: kept once
    QString error;
    const auto entries = m_archive.list({}, 0, 10, &error);
    QCOMPARE(entries->size(), 2);
    QCOMPARE(*m_archive.dataFile(entries->at(0).id, &error), read("logger2.txt"));
    QCOMPARE(*m_archive.dataFile(entries->at(1).id, &error), read("store.txt"));
    QCOMPARE(entries->at(0).origin, QStringLiteral("port"));
    QCOMPARE(m_harness->messages.count(), 0);
}

void tst_archive_window::filesArchived_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("opened") << false;
    QTest::newRow("saved") << true;
}

void tst_archive_window::filesArchived()
{
    QFETCH(bool, save);
    auto *files = m_harness->window->findChild<FileMenu *>();
    QVERIFY(files);
    const QString dir = m_harness->dir.path();
    QVERIFY(writeFile(dir + "/single2.txt", read("single2.txt")));
    QCOMPARE(files->files().openOk(dir, "single2.txt"), SaveOpen::Outcome::Close);
    if (save) {
        m_harness->model().MSFlexGrid3.setText(1, 1, "99");
        QString name = "changed";
        QCOMPARE(files->files().saveOk(dir, &name), SaveOpen::Outcome::Close);
    }
    QString error;
    const auto entries = m_archive.list({}, 0, 10, &error);
    QCOMPARE(entries->size(), save ? 2 : 1);
    QCOMPARE(entries->first().source, dir + (save ? "/changed.txt" : "/single2.txt"));
    QCOMPARE(*m_archive.dataFile(entries->first().id, &error), readFile(entries->first().source));
}

// An archive that cannot be written never stands between the user and the download.
void tst_archive_window::failureToldOnce()
{
    QVERIFY(writeFile(db() + ".dir", "a file where a directory should be"));
    m_harness->program->archiver.enable(db() + ".dir/archive.sqlite");
    download(1, "store.txt");
    download(4, "logger2.txt");
    QCOMPARE(m_harness->messages.count(), 1);
    QCOMPARE(m_harness->messages.boxes().first().title, QStringLiteral("Archive"));
    QVERIFY(m_harness->messages.boxes().first().text.contains("still shown and can be saved"));
    QCOMPARE(DataFile::serialize(m_harness->model()), read("logger2.txt"));
}

void tst_archive_window::filter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("modeIndex"); // 0: all modes, else mode + 1
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("customer, as typed") << "acm" << 0 << QStringList{"logger0.txt"};
    QTest::newRow("site") << "north" << 0 << QStringList{"logger0.txt"};
    QTest::newRow("nobody") << "zzz" << 0 << QStringList{};
    QTest::newRow("mode") << "" << 12 << QStringList{"tightness.txt"};
    QTest::newRow("mode and text") << "acme" << 3 << QStringList{"logger0.txt"};
    QTest::newRow("other mode and text") << "acme" << 4 << QStringList{};
}

void tst_archive_window::filter()
{
    QFETCH(QString, typed);
    QFETCH(int, modeIndex);
    QFETCH(QStringList, shown);
    fill();
    frmArchive *window = openWindow();
    QVERIFY(window);
    QCOMPARE(window->model().rowCount(), names().size());
    QTest::keyClicks(window->findChild<QLineEdit *>("archiveSearch"), typed);
    window->findChild<QComboBox *>("archiveMode")->setCurrentIndex(modeIndex);
    QTRY_COMPARE(window->model().rowCount(), shown.size());
    for (int row = 0; row < shown.size(); ++row)
        QCOMPARE(window->model().entryAt(row).source, shown[row]);
    QTRY_COMPARE(
        window->findChild<QLabel *>("archiveStatus")->text(),
        QStringLiteral("%1 download%2").arg(shown.size()).arg(shown.size() == 1 ? "" : "s"));
}

void tst_archive_window::openIntoMainWindow()
{
    fill();
    frmArchive *window = openWindow();
    const int row = rowOf("tightness.txt");
    window->table()->selectRow(row);
    QTest::mouseClick(window->findChild<QPushButton *>("archiveOpen"), Qt::LeftButton);
    QCOMPARE(m_harness->model().CurrentMode, qint16(11));
    QCOMPARE(DataFile::serialize(m_harness->model()), read("tightness.txt"));
    QVERIFY(m_harness->shows("FrameSL"));
}

void tst_archive_window::labelInPlace()
{
    fill();
    frmArchive *window = openWindow();
    const int row = rowOf("store.txt");
    QTableView *table = window->table();
    const QModelIndex cell = window->model().index(row, ArchiveTableModel::Site);
    table->setCurrentIndex(cell);
    table->edit(cell);
    QTRY_VERIFY(table->indexWidget(cell) || table->findChild<QLineEdit *>());
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "Boiler room");
    QTest::keyClick(editor, Qt::Key_Return);
    QString error;
    QTRY_COMPARE(m_archive.entry(window->model().entryAt(row).id, &error)->site,
                 QStringLiteral("Boiler room"));
}

void tst_archive_window::deleteAfterConfirmation_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("cancelled") << MessageAnswer::Cancel << names().size();
    QTest::newRow("confirmed") << MessageAnswer::Ok << names().size() - 2;
}

void tst_archive_window::deleteAfterConfirmation()
{
    QFETCH(MessageAnswer, answer);
    QFETCH(int, left);
    fill();
    frmArchive *window = openWindow();
    window->table()->selectRow(rowOf("store.txt"));
    window->table()->selectionModel()->select(window->model().index(rowOf("single1.txt"), 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    QCOMPARE(window->selectedIds().size(), 2);
    m_harness->messages.scriptAnswers({answer});
    QTest::mouseClick(window->findChild<QPushButton *>("archiveDelete"), Qt::LeftButton);
    QCOMPARE(m_harness->messages.count(), 1);
    QVERIFY(m_harness->messages.boxes().first().text.contains("the 2 selected downloads"));
    QString error;
    QCOMPARE(m_archive.count({}, &error).value_or(-1), left);
    QCOMPARE(window->model().rowCount(), left);
    QCOMPARE(rowOf("store.txt") >= 0, answer == MessageAnswer::Cancel);
}

void tst_archive_window::fetchesAsScrolled()
{
    QString error;
    for (int n = 0; n < 3 * ArchiveTableModel::kPage; ++n)
        QVERIFY(m_archive.addDataFile(loggerVariant(n), {"file", "v", {}}, &error));
    frmArchive *window = openWindow();
    QCOMPARE(window->model().rowCount(), ArchiveTableModel::kPage);
    QCOMPARE(window->model().total(), 3 * ArchiveTableModel::kPage);
    window->table()->scrollToBottom();
    QTRY_VERIFY(window->model().rowCount() > ArchiveTableModel::kPage);
    // Newest first, none twice.
    QSet<qint64> ids;
    for (int row = 0; row < window->model().rowCount(); ++row)
        ids.insert(window->model().entryAt(row).id);
    QCOMPARE(ids.size(), window->model().rowCount());
    QCOMPARE(window->model().entryAt(0).id, qint64(3 * ArchiveTableModel::kPage));
}

void tst_archive_window::keepsSelectionWhileLiveRunRecords_data()
{
    QTest::addColumn<int>("downloads"); // beside the expected files
    QTest::addColumn<bool>("scrolled"); // the view scrolled down to the selected row
    QTest::newRow("at the top") << 0 << false;
    QTest::newRow("scrolled down") << 120 << true;
}

// Every live reading archived refreshes the list; the user's selection, current row and the
// rows in view stay as they were, while the run's own row counts its readings.
void tst_archive_window::keepsSelectionWhileLiveRunRecords()
{
    QFETCH(int, downloads);
    QFETCH(bool, scrolled);
    fill();
    QString error;
    for (int n = 0; n < downloads; ++n)
        QVERIFY(m_archive.addDataFile(loggerVariant(n), {"file", "v", {}}, &error));
    frmArchive *window = openWindow();
    QTableView *table = window->table();
    // Scrolled down: a row in the middle, with rows below it to fill the view.
    const int row = scrolled ? downloads / 2 : rowOf("store.txt");
    const qint64 picked = window->model().entryAt(row).id;
    if (scrolled) table->scrollTo(window->model().index(row, 0), QAbstractItemView::PositionAtTop);
    table->selectRow(row);
    const int scroll = table->verticalScrollBar()->value();
    QCOMPARE(scroll > 0, scrolled);
    const qint64 topId = window->model().entryAt(table->indexAt(QPoint(0, 0)).row()).id;
    QSignalSpy resets(&window->model(), &QAbstractItemModel::modelReset);

    Program &p = *m_harness->program;
    QSignalSpy archived(&p.archiver, &Archiver::archived);
    p.modes.switchTo(Real);
    p.transfer.startStop();
    const QByteArray reading = testData("streams/real.txt");
    for (int n = 1; n <= 3; ++n) {
        m_harness->port.receive(reading);
        QTRY_COMPARE_WITH_TIMEOUT(archived.count(), n, 20000);
    }
    QCOMPARE(resets.count(), 0);
    QCOMPARE(window->selectedIds(), QList<qint64>{picked});
    QCOMPARE(window->model().entryAt(table->currentIndex().row()).id, picked);
    const int live = window->model().rowOf(p.archiver.liveRun());
    QVERIFY(live >= 0);
    QCOMPARE(window->model().entryAt(live).records, 3);
    // At the top the new run shows above; scrolled down the same rows stay in view.
    const qint64 topNow = window->model().entryAt(table->indexAt(QPoint(0, 0)).row()).id;
    QCOMPARE(topNow, scrolled ? topId : p.archiver.liveRun());
}

void tst_archive_window::pick(frmArchive *window, const QString &file)
{
    QTableView *table = window->table();
    const QRect cell = table->visualRect(window->model().index(rowOf(file), 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
}

QStringList tst_archive_window::sourcesOf(const QList<qint64> &ids)
{
    QStringList sources;
    QString error;
    for (const qint64 id : ids)
        sources << m_archive.entry(id, &error)->source;
    return sources;
}

// Downloads picked one after another go to the chart and into one CSV in the order picked,
// whatever their rows; unpicking and picking again moves a download to the end.
void tst_archive_window::pickOrder_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("pages"); // the chart's Page panel; "" when refused
    QTest::newRow("against the rows") << QStringList{"logger2.txt", "logger0.txt"}
                                      << QStringList{"logger2.txt", "logger0.txt"} << "Page : 2, 0";
    QTest::newRow("three, mixed") << QStringList{"logger1.txt", "logger3.txt", "logger0.txt"}
                                  << QStringList{"logger1.txt", "logger3.txt", "logger0.txt"}
                                  << "Page : 1, 3, 0";
    QTest::newRow("picked again goes last")
        << QStringList{"logger0.txt", "logger3.txt", "logger0.txt", "logger0.txt"}
        << QStringList{"logger3.txt", "logger0.txt"} << "Page : 3, 0";
    QTest::newRow("other family refused") << QStringList{"logger0.txt", "single0.txt"}
                                          << QStringList{"logger0.txt", "single0.txt"} << "";
}

void tst_archive_window::pickOrder()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, order);
    QFETCH(QString, pages);
    fill();
    frmArchive *window = openWindow();
    window->table()->clearSelection();
    for (const QString &file : clicks)
        pick(window, file);
    ArchiveActions *actions = window->actions();
    QCOMPARE(sourcesOf(actions->pickedIds()), order);
    window->grab().save(QCoreApplication::applicationDirPath() + "/archive-window-picked.png");

    // One CSV: every row led by its download's source (and the archive's customer), in order.
    const QString csv = m_harness->dir.filePath("picked.csv");
    QVERIFY(actions->exportPicked(ExportFormat::Csv, ArchiveActions::Target::All, csv));
    QStringList sources;
    bool customer = false;
    const QList<QByteArray> lines = readFile(csv).split('\n');
    QVERIFY(lines.first().startsWith("Source,Received,Mode,Customer,Site,"));
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() < 5) continue;
        if (!sources.contains(fields[0])) sources << fields[0];
        customer = customer || (fields[0] == "logger0.txt" && fields[3] == "Acme" &&
                                fields[4] == "North Plant");
    }
    QCOMPARE(sources, order);
    QVERIFY(customer);

    frmChart *chart = actions->chartPicked();
    QCOMPARE(chart != nullptr, !pages.isEmpty());
    if (chart) {
        QCOMPARE(chart->findChild<QLabel *>("Page")->text(), pages);
        chart->close();
    } else {
        QCOMPARE(m_harness->messages.count(), 1);
        QVERIFY(m_harness->messages.boxes().first().text.contains("single0.txt"));
    }
}

void tst_archive_window::exportTargets_data()
{
    QTest::addColumn<ExportFormat>("format");
    QTest::addColumn<ArchiveActions::Target>("target");
    QTest::addColumn<QStringList>("files"); // written into the folder, "ID" standing for the id
    QTest::addColumn<QString>("told");
    const QString each = "2 files written into";
    QTest::newRow("json, one each")
        << ExportFormat::Json << ArchiveActions::Target::Each
        << QStringList{"ID_Logger_Mode_Data_0.json", "ID_Tightness_Mode.json"} << each;
    QTest::newRow("reports, one each")
        << ExportFormat::Pdf << ArchiveActions::Target::Each
        << QStringList{"ID_Logger_Mode_Data_0.pdf", "ID_Tightness_Mode.pdf"} << each;
    QTest::newRow("workbook with all")
        << ExportFormat::Xlsx << ArchiveActions::Target::All << QStringList{"all.xlsx"} << "";
    QTest::newRow("one report of two refused") << ExportFormat::Pdf << ArchiveActions::Target::All
                                               << QStringList{} << "A report is of one download";
}

void tst_archive_window::exportTargets()
{
    QFETCH(ExportFormat, format);
    QFETCH(ArchiveActions::Target, target);
    QFETCH(QStringList, files);
    QFETCH(QString, told);
    fill();
    frmArchive *window = openWindow();
    window->table()->clearSelection();
    pick(window, "logger0.txt");
    pick(window, "tightness.txt");
    const QDir out(m_harness->dir.filePath("out"));
    QVERIFY(out.mkpath("."));
    const QString path =
        target == ArchiveActions::Target::All ? out.filePath("all.xlsx") : out.path();
    QCOMPARE(window->actions()->exportPicked(format, target, path), !files.isEmpty());
    QStringList written = out.entryList(QDir::Files, QDir::Name);
    for (QString &name : written)
        name.replace(QRegularExpression("^\\d+_"), "ID_");
    written.sort();
    QCOMPARE(written, files);
    QCOMPARE(m_harness->messages.count(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) QVERIFY(m_harness->messages.boxes().first().text.contains(told));
}

QTEST_MAIN(tst_archive_window)
#include "tst_archive_window.moc"
