// The live trend in the main window, offscreen: the frame beside the Real Mode panels holds it,
// it grows with every reading shown while the panels show what they always show, and the
// larger window zooms and pans over the same run; after Stop the run comes back from the archive
// as the same trend. Screenshots land in the build directory.

#include "Streams.h"
#include "app/Program.h"
#include "archive/frmArchive.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "tables/Modes.h"
#include "tables/frmMain.h"
#include "trend/TrendPanel.h"
#include "trend/TrendPlot.h"
#include "trend/TrendSeries.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>
#include <QtTest>
#include <cmath>

namespace {
// CO of reading k, nullopt for the cell that holds no number.
std::optional<int> coOf(int k)
{
    if (k % 17 == 5) return std::nullopt;
    return int(std::lround(20 + 15 * std::sin(k / 6.0)));
}

QByteArray reading(int k)
{
    const QString time = QTime(14, 0).addSecs(k * 5).toString("hh:mm:ss");
    return stream({"<BTInstReading", "mode=\"Real Time Mode Data\">",
                   "<inst_data time=\"" + time + '"', "date=\"12/03/24\"",
                   QStringLiteral("CO=\"%1\"").arg(coOf(k) ? QString::number(*coOf(k)) : "ERR"),
                   QStringLiteral("O2=\"%1\"").arg(4.5 + std::cos(k / 9.0), 0, 'f', 1),
                   "temp_ch1=\"182.5\"/>"});
}

// The program after start-up over a scripted port, and its main window with the trend panel.
struct Rig {
    FakePort port;
    RecordingMessages messages;
    Program program{port, messages};
    std::unique_ptr<frmMain> window;
    TrendPanel *panel = nullptr;

    explicit Rig(const QString &archive = {})
    {
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
        if (!archive.isEmpty()) program.archiver.enable(archive);
        window = std::make_unique<frmMain>(program);
        panel = window->findChild<TrendPanel *>("trendPanel");
    }
    // A live run started now showing readings 1 to count, each through a reception pass.
    void showReadings(int count)
    {
        program.transfer.startStop();
        for (int k = 1; k <= count; ++k) {
            port.receive(reading(k));
            program.transfer.onTimer3();
            program.transfer.onTimer3();
        }
    }
};
} // namespace

class TestTrendView : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QCoreApplication::setOrganizationName("nrv508-test-trend");
    }

    // Readings shown: the trend holds each, its statistics follow, and the panels show the
    // latest reading exactly as without the trend.
    void growsWithShownReadings_data()
    {
        QTest::addColumn<int>("readings");
        QTest::newRow("none") << 0;
        QTest::newRow("sixty, some with no number") << 60;
    }

    void growsWithShownReadings()
    {
        QFETCH(int, readings);
        Rig rig;
        TrendPanel *panel = rig.panel;
        QVERIFY(panel);
        QCOMPARE(panel->parentWidget()->objectName(), QStringLiteral("Frame1"));
        rig.showReadings(readings);
        if (readings > 0)
            QCOMPARE(rig.program.model.txtRTime.caption,
                     QTime(14, 0).addSecs(readings * 5).toString("hh:mm:ss"));
        auto *stats = panel->findChild<QLabel *>("trendStats");
        QTextDocument doc;
        doc.setHtml(stats->text());
        const QString text = doc.toPlainText().simplified();
        const int at = text.indexOf("CO ");
        QVERIFY2(at >= 0, qPrintable(text));
        // Current, minimum, maximum and mean of CO, counted here from what was sent.
        QString expected = QStringLiteral("CO - - - -");
        if (readings > 0) {
            int low = 1000, high = -1000, sum = 0, count = 0;
            for (int k = 1; k <= readings; ++k) {
                if (!coOf(k)) continue;
                low = std::min(low, *coOf(k));
                high = std::max(high, *coOf(k));
                sum += *coOf(k);
                ++count;
            }
            const auto f = [](double v) { return QString::number(v, 'f', v < 10 ? 2 : 1); };
            expected = QStringLiteral("CO %1 %2 %3 %4")
                           .arg(coOf(readings) ? f(*coOf(readings)) : "-", f(low), f(high),
                                f(double(sum) / count));
        }
        QCOMPARE(text.mid(at).section(' ', 0, 4), expected);

        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        const QString name = QString("trend-frame1-%1.png").arg(readings);
        QVERIFY(rig.window->clientArea()->grab().save(QStringLiteral(NRV508_BUILD_DIR "/") + name));
    }

    // The larger window shows the same run; zoom and pan leave the whole-run view and Home
    // returns to it.
    void largerWindowZoomsAndPans()
    {
        Rig rig;
        rig.showReadings(120);
        rig.panel->openLargerWindow();
        TrendPanel *larger = rig.panel->largerWindow();
        QVERIFY(larger && larger->isWindow() && larger->isVisible());
        TrendPlot *plot = larger->plot();
        QVERIFY(plot->followsRun());
        const QImage whole = plot->grab().toImage();
        QTest::keyClick(plot, Qt::Key_Plus);
        QTest::keyClick(plot, Qt::Key_Plus);
        QVERIFY(!plot->followsRun());
        const QImage zoomed = plot->grab().toImage();
        QVERIFY(zoomed != whole);
        QTest::keyClick(plot, Qt::Key_Left);
        QVERIFY(plot->grab().toImage() != zoomed);
        QVERIFY(larger->grab().save(QStringLiteral(NRV508_BUILD_DIR "/trend-window-zoomed.png")));
        QTest::keyClick(plot, Qt::Key_Home);
        QVERIFY(plot->followsRun());
        QCOMPARE(plot->grab().toImage(), whole);
    }

    // After Stop the archived run opens from the archive window as the trend that was shown:
    // the same times, values, gaps and units, reading for reading.
    void reopenedFromArchive_data()
    {
        QTest::addColumn<int>("readings");
        QTest::addColumn<bool>("doubleClick"); // else the Trend button
        QTest::newRow("one, button") << 1 << false;
        QTest::newRow("forty with gaps, double click") << 40 << true;
    }

    void reopenedFromArchive()
    {
        QFETCH(int, readings);
        QFETCH(bool, doubleClick);
        Rig rig(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())
                                   .replace(QLatin1Char(' '), QLatin1Char('-')) +
                               QStringLiteral(".sqlite")));
        rig.showReadings(readings);
        rig.program.transfer.startStop(); // Stop
        QVERIFY(rig.program.archiver.liveRun() == 0);

        rig.window->findChild<QAction *>("mnuArchiveBrowse")->trigger();
        auto *archive = rig.window->findChild<frmArchive *>("frmArchive");
        QVERIFY(archive && QTest::qWaitForWindowExposed(archive));
        QTRY_COMPARE(archive->model().rowCount(), 1);
        QTableView *table = archive->table();
        table->selectRow(0);
        auto *button = archive->findChild<QPushButton *>("archiveTrend");
        QVERIFY(button->isEnabled());
        if (doubleClick) {
            // The row's number: not a cell that opens an editor.
            const QPoint at = table->visualRect(archive->model().index(0, 0)).center();
            QTest::mousePress(table->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        auto *reopened = archive->findChild<TrendPanel *>("archivedTrendWindow");
        QVERIFY(reopened && reopened->isWindow() && reopened->isVisible());
        QCOMPARE(rig.messages.count(), 0);

        const TrendSeries &shown = rig.panel->series(), &again = reopened->series();
        QCOMPARE(again.size(), readings);
        QCOMPARE(shown.size(), readings);
        for (int i = 0; i < readings; ++i) {
            QCOMPARE(again.timeAt(i), shown.timeAt(i));
            for (int q = 0; q < TrendSeries::kCount; ++q) {
                QCOMPARE(again.isGap(q, i), shown.isGap(q, i));
                if (!shown.isGap(q, i)) QCOMPARE(again.valueAt(q, i), shown.valueAt(q, i));
            }
        }
        for (int q = 0; q < TrendSeries::kCount; ++q)
            QCOMPARE(again.unit(q), shown.unit(q));
        QVERIFY(reopened->grab().save(
            QStringLiteral(NRV508_BUILD_DIR "/trend-archived-%1.png").arg(readings)));
    }
};

QTEST_MAIN(TestTrendView)
#include "tst_trend_view.moc"
