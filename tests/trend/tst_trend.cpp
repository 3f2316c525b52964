// The live trend through the core with a scripted port: readings in as Real Mode shows them,
// their times and numbers, the series with its gaps and statistics, the reduction for drawing,
// the script output lines, and a line fault in the middle of a run.

#include "Streams.h"
#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "tables/Modes.h"
#include "trend/LiveOutput.h"
#include "trend/LiveTrend.h"

#include <QtTest>
#include <cmath>

namespace {
const QDateTime kArrival(QDate(2026, 12, 6), QTime(9, 30, 0));

// A live reading stream; attrs are the attribute lines after the record's opening, "" for a
// record opened without a time.
QByteArray stream(const QString &time, const QStringList &attrs)
{
    QStringList lines = {"<BTInstReading", "major_version=\"2\"", "minor_version=\"05\"",
                         "mode=\"Real Time Mode Data\">"};
    lines << (time.isNull() ? QStringLiteral("<inst_data") : "<inst_data time=\"" + time + '"');
    lines << attrs;
    lines.last() += "/>";
    return ::stream(lines);
}

// A program in Real Mode over a scripted port with the trend watching it; no event loop: the
// receive timer ticks when show() calls it.
struct Rig {
    FakePort port;
    RecordingMessages messages;
    Program program{port, messages};
    LiveTrend trend{program};

    Rig()
    {
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
        program.modes.switchTo(Real);
        trend.setClock([] { return kArrival; });
        program.transfer.startStop();
    }
    // One reading arrives and the quiet gap after it shows it.
    void show(const QByteArray &bytes)
    {
        port.receive(bytes);
        program.transfer.onTimer3();
        program.transfer.onTimer3();
    }
};

// "25 4.8 - ..." for the values of a reading, "-" for a gap.
QString valuesText(const std::array<std::optional<double>, LiveReading::kCount> &values)
{
    QStringList out;
    for (const std::optional<double> &v : values)
        out << (v ? QString::number(*v) : QStringLiteral("-"));
    return out.join(' ');
}

QString seriesText(const TrendSeries &s, int quantity)
{
    QStringList out;
    for (int i = 0; i < s.size(); ++i)
        out << (s.isGap(quantity, i) ? QStringLiteral("-")
                                     : QString::number(s.valueAt(quantity, i)));
    return out.join(' ');
}
} // namespace

class TestTrend : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }

    // Readings shown one after the other: the time each gets and its numbers. A later reading
    // without a time must not take the time the panel still shows from the one before.
    void readings_data()
    {
        QTest::addColumn<QList<QByteArray>>("streams");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<QString>("lastValues"); // CO O2 CO2 Ratio XAir Eff T1 T2 P
        const QStringList full = {"date=\"12/03/24\"",
                                  "CO=\"25\"",
                                  "O2=\"4.8\"",
                                  "CO2=\"9.0\"",
                                  "CO_CO2_ratio=\"0.0003\"",
                                  "xair=\"29.8\"",
                                  "efficiency=\"92.0\"",
                                  "temp_ch1=\"182.5\"",
                                  "temp_ch2=\"21.3\"",
                                  "pressure=\"-0.12\""};
        const auto at = [](const char *date, const char *time) {
            return QDateTime(QDate::fromString(date, "yyyy-MM-dd"), QTime::fromString(time))
                .toOffsetFromUtc(
                    QDateTime(QDate::fromString(date, "yyyy-MM-dd"), QTime::fromString(time))
                        .offsetFromUtc())
                .toString(Qt::ISODate);
        };
        const QString arrival = at("2026-12-06", "09:30:00");
        QTest::newRow("whole reading") << QList<QByteArray>{stream("14:32:07", full)}
                                       << QStringList{at("2024-03-12", "14:32:07")}
                                       << "25 4.8 9 0.0003 29.8 92 182.5 21.3 -0.12";
        QTest::newRow("no time: arrival")
            << QList<QByteArray>{stream("14:32:07", full), stream(QString(), {"CO=\"30\""})}
            << QStringList{at("2024-03-12", "14:32:07"), arrival}
            << "30 - - - - - - - -0.12"; // the pair of the pass before is applied again
        QTest::newRow("time without date: arrival's date")
            << QList<QByteArray>{stream("14:32:07", {"CO=\"1\""})}
            << QStringList{at("2026-12-06", "14:32:07")} << "1 - - - - - - - -";
        QTest::newRow("unreadable time: arrival")
            << QList<QByteArray>{stream("25:61:00", full)} << QStringList{arrival}
            << "25 4.8 9 0.0003 29.8 92 182.5 21.3 -0.12";
        QTest::newRow("cells without a number are gaps")
            << QList<QByteArray>{stream("10:00:00", {"CO=\"ERR\"", "O2=\"OFL\"", "CO2=\"12,5\"",
                                                     "temp_ch2=\"OPEN\"", "pressure=\"-\"",
                                                     "efficiency=\"1e3\""})}
            << QStringList{at("2026-12-06", "10:00:00")} << "- - - - - 1000 - - -";
    }

    void readings()
    {
        QFETCH(QList<QByteArray>, streams);
        QFETCH(QStringList, times);
        Rig rig;
        QList<LiveReading> got;
        connect(&rig.trend, &LiveTrend::readingAdded, this,
                [&](const LiveReading &r) { got << r; });
        for (const QByteArray &s : streams)
            rig.show(s);
        QStringList gotTimes;
        for (const LiveReading &r : got)
            gotTimes << r.timeText();
        QCOMPARE(gotTimes, times);
        QTEST(valuesText(got.last().values), "lastValues");
        QCOMPARE(rig.trend.series().size(), streams.size());
    }

    // The series of a run: gaps where a reading had no number, statistics over the numbers
    // only, the current value a gap when the last reading had none; a new Start empties it.
    void series_data()
    {
        QTest::addColumn<QStringList>("co"); // CO of each reading, "" for none
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("stats"); // count current min max mean
        QTest::newRow("numbers") << QStringList{"10", "30", "20"} << "10 30 20"
                                 << "3 20 10 30 20";
        QTest::newRow("gap inside") << QStringList{"10", "", "40"} << "10 - 40"
                                    << "2 40 10 40 25";
        QTest::newRow("gap last") << QStringList{"5", "7", "x"} << "5 7 -"
                                  << "2 nan 5 7 6";
        QTest::newRow("only gaps") << QStringList{"", "-"} << "- -"
                                   << "0 nan 0 0 0";
        QTest::newRow("negative") << QStringList{"-3", "2"} << "-3 2"
                                  << "2 2 -3 2 -0.5";
    }

    void series()
    {
        QFETCH(QStringList, co);
        Rig rig;
        rig.show(stream("08:00:00", {"CO=\"999\""})); // a run before: gone at the next Start
        rig.program.transfer.startStop();
        rig.program.transfer.startStop();
        int second = 0;
        for (const QString &value : co)
            rig.show(stream(QStringLiteral("08:00:%1").arg(++second, 2, 10, QLatin1Char('0')),
                            {"CO=\"" + value + '"'}));
        const TrendSeries &s = rig.trend.series();
        QTEST(seriesText(s, 0), "line");
        const TrendStats &st = s.stats(0);
        QTEST(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(st.count)
                  .arg(std::isnan(st.current) ? QStringLiteral("nan") : QString::number(st.current))
                  .arg(st.minimum)
                  .arg(st.maximum)
                  .arg(st.mean()),
              "stats");
        QCOMPARE(s.unit(0), QStringLiteral("ppm"));
    }

    // The reduced series keeps every minimum and maximum of each pixel column, whatever the
    // number of readings per column, and breaks the line where readings had no number.
    void reduce_data()
    {
        QTest::addColumn<int>("readings");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("gapEvery"); // 0: no gaps
        QTest::newRow("fewer readings than pixels") << 50 << 400 << 0;
        QTest::newRow("one per pixel") << 400 << 400 << 0;
        QTest::newRow("8 hours on 400 pixels") << 28800 << 400 << 0;
        QTest::newRow("with gaps") << 5000 << 300 << 97;
        QTest::newRow("one pixel") << 100 << 1 << 0;
    }

    void reduce()
    {
        QFETCH(int, readings);
        QFETCH(int, width);
        QFETCH(int, gapEvery);
        TrendSeries s;
        const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
        for (int i = 0; i < readings; ++i) {
            LiveReading r;
            r.time = start.addSecs(i);
            if (gapEvery == 0 || i % gapEvery != 0) r.values[0] = std::sin(i * 0.37) * 100 + i % 13;
            s.append(r);
        }
        const qint64 t0 = s.firstTime(), t1 = s.lastTime();
        const std::vector<TrendColumn> columns = s.reduce(0, t0, t1, width);
        QVERIFY(int(columns.size()) <= std::max(1, width) * (gapEvery ? 2 : 1));
        // Every column against the readings that fall into it, counted independently.
        std::map<int, std::pair<double, double>> expect;
        for (int i = 0; i < readings; ++i) {
            if (s.isGap(0, i)) continue;
            const int x = std::min<qint64>(width - 1, (s.timeAt(i) - t0) * width /
                                                          std::max<qint64>(t1 - t0, 1));
            const double v = s.valueAt(0, i);
            auto it = expect.find(x);
            if (it == expect.end())
                expect[x] = {v, v};
            else
                it->second = {std::min(it->second.first, v), std::max(it->second.second, v)};
        }
        std::map<int, std::pair<double, double>> got;
        int gapsSeen = 0;
        for (const TrendColumn &c : columns) {
            QVERIFY(c.minimum <= c.first && c.first <= c.maximum);
            QVERIFY(c.minimum <= c.last && c.last <= c.maximum);
            gapsSeen += c.gapBefore ? 1 : 0;
            auto it = got.find(c.x);
            if (it == got.end())
                got[c.x] = {c.minimum, c.maximum};
            else
                it->second = {std::min(it->second.first, c.minimum),
                              std::max(it->second.second, c.maximum)};
        }
        QCOMPARE(got, expect);
        QCOMPARE(gapsSeen, gapEvery ? (readings - 1) / gapEvery : 0);
    }

    // The script output of readings: the CSV header from the first reading's units, empty
    // fields and nulls for no measurement, and a unit switch mid-run named.
    void output_data()
    {
        QTest::addColumn<QList<QByteArray>>("streams");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("changed");
        const QByteArray header = "time,CO [ppm],O2 [%],CO2 [%],Ratio,XAir [%],Eff. [%],"
                                  "Temp1 ['C],Temp2 ['C],Pressure [mbar]\r\n";
        const QDateTime t(QDate(2024, 3, 12), QTime(14, 32, 7));
        const QByteArray time =
            t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate).toLatin1();
        const QByteArray units = ",\"units\":{\"CO\":\"ppm\",\"O2\":\"%\",\"CO2\":\"%\","
                                 "\"XAir\":\"%\",\"Eff.\":\"%\",\"Temp1\":\"'C\",\"Temp2\":\"'C\","
                                 "\"Pressure\":\"mbar\"}}\n";
        const QStringList some = {"date=\"12/03/24\"", "CO=\"25\"", "O2=\"4.80\"",
                                  "CO_CO2_ratio=\"0.0003\"", "temp_ch2=\"OPEN\""};
        QTest::newRow("numbers and gaps")
            << QList<QByteArray>{stream("14:32:07", some)}
            << header + time + ",25,4.8,,0.0003,,,,,\r\n"
            << "{\"time\":\"" + time +
                   "\",\"CO\":25,\"O2\":4.8,\"CO2\":null,\"Ratio\":0.0003,\"XAir\":null,"
                   "\"Eff.\":null,\"Temp1\":null,\"Temp2\":null,\"Pressure\":null" +
                   units
            << QString();
        QTest::newRow("unit switched to F")
            << QList<QByteArray>{stream("14:32:07", some),
                                 stream("14:32:07", some + QStringList{"temperature_unit=\"F\""})}
            << header + time + ",25,4.8,,0.0003,,,,,\r\n" + time + ",25,4.8,,0.0003,,,,,\r\n"
            << QByteArray(units).replace("'C", "'F") << "Temp1 ['F], Temp2 ['F]";
    }

    void output()
    {
        QFETCH(QList<QByteArray>, streams);
        QFETCH(QByteArray, json);
        Rig rig;
        LiveOutput output;
        QByteArray csv;
        QByteArray lastJson;
        connect(&rig.trend, &LiveTrend::readingAdded, this, [&](const LiveReading &r) {
            csv += output.csv(r);
            lastJson = LiveOutput::json(r);
        });
        for (const QByteArray &s : streams)
            rig.show(s);
        QTEST(csv, "csv");
        QVERIFY2(lastJson.endsWith(json), lastJson.constData());
        QTEST(output.changedUnits(), "changed");
    }

    // A line fault in the middle of a run: every reading shown before it stays in the trend,
    // the run is over, and the next Start begins an empty trend.
    void lineFaultKeepsShownReadings()
    {
        Rig rig;
        for (int k = 1; k <= 3; ++k)
            rig.show(
                stream(QStringLiteral("10:00:0%1").arg(k), {"CO=\"" + QString::number(k) + '"'}));
        rig.port.receive(stream("10:00:04", {"CO=\"4\""}).left(40)); // cut by the fault
        rig.port.vanish();
        rig.program.transfer.onTimer4();
        QCOMPARE(rig.program.transfer.state() == LinkState::Live, false);
        QCOMPARE(seriesText(rig.trend.series(), 0), QStringLiteral("1 2 3"));
        rig.program.transfer.startStop();
        QCOMPARE(rig.trend.series().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTrend)
#include "tst_trend.moc"
