// The archive against real SQLite files in temporary directories.

#include "ArchiveTestFiles.h"

#include "app/ScreenModel.h"
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "archive/SqlDialect.h"
#include "files/DataFile.h"
#include "trend/ArchivedRun.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ArchiveTestFiles;

class tst_archive : public QObject {
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void identicalKeptOnce();
    void readingsTyped_data();
    void readingsTyped();
    void refusedInput_data();
    void refusedInput();
    void filters_data();
    void filters();
    void liveRun();
    void liveReadingTimes_data();
    void liveReadingTimes();
    void valuesOfOneCustomer();
    void labelAndDelete();
    void migratesFromFirstSchema();
    void newerSchemaRefused();
    void damagedFileSetAside_data();
    void damagedFileSetAside();
    void defaultLocation_data();
    void defaultLocation();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("archive.sqlite")); }
    void openArchive(Archive &archive);
    qint64 add(Archive &archive, const QByteArray &bytes, const QDateTime &received = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_archive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_archive::openArchive(Archive &archive)
{
    QString error;
    QVERIFY2(archive.open(path(), &error), qPrintable(error));
}

qint64 tst_archive::add(Archive &archive, const QByteArray &bytes, const QDateTime &received)
{
    QString error;
    const auto added = archive.addDataFile(bytes, {"file", "test.txt", received}, &error);
    if (!added) qWarning("%s", qPrintable(error));
    return added ? added->id : 0;
}

void tst_archive::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : names())
        QTest::newRow(qPrintable(name)) << name;
}

// What comes back out is the file that went in, and reading it into the window and saving
// again gives the same bytes, for every mode's file.
void tst_archive::roundTrip()
{
    QFETCH(QString, name);
    const QByteArray bytes = read(name);
    QVERIFY(!bytes.isEmpty());
    qint64 id = 0;
    {
        Archive archive;
        openArchive(archive);
        id = add(archive, bytes);
        QVERIFY(id > 0);
    }
    Archive reopened; // through the file, not a connection that still holds it
    openArchive(reopened);
    QString error;
    const std::optional<QByteArray> back = reopened.dataFile(id, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(*back, bytes);

    DataFile::Contents contents;
    QVERIFY(DataFile::parse(*back, name, &contents, &error));
    ScreenModel model;
    DataFile::apply(contents, model);
    QCOMPARE(DataFile::serialize(model), bytes);
    // The readings as the file holds them, also from a copy into another archive (as a push
    // to a team archive copies a download).
    ReadingRows::Download file;
    QVERIFY(ReadingRows::fromDataFile(bytes, name, &file, &error));
    Archive copy;
    QVERIFY(copy.open(m_dir->filePath("copy.sqlite"), &error));
    const auto stored = reopened.stored(id, &error);
    QVERIFY2(stored, qPrintable(error));
    const auto copied = copy.adopt(*stored, &error);
    QVERIFY2(copied, qPrintable(error));
    for (const auto &[archive, at] : {std::pair{&reopened, id}, std::pair{&copy, copied->id}}) {
        QStringList header;
        QList<ReadingRows::Row> rows;
        QVERIFY2(archive->readings(at, &header, &rows, &error), qPrintable(error));
        QCOMPARE(header, file.header);
        QCOMPARE(rows.size(), file.rows.size());
        for (int r = 0; r < rows.size(); ++r) {
            QCOMPARE(rows[r].row, file.rows[r].row);
            QCOMPARE(rows[r].cells, file.rows[r].cells);
            QCOMPARE(rows[r].values, file.rows[r].values);
        }
    }
    QCOMPARE(copy.dataFile(copied->id, &error).value_or(QByteArray()), bytes);
    const auto entry = reopened.entry(id, &error);
    QVERIFY(entry);
    QCOMPARE(entry->mode, contents.mode);
    QCOMPARE(
        entry->sha256,
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
}

void tst_archive::identicalKeptOnce()
{
    Archive archive;
    openArchive(archive);
    const qint64 first = add(archive, read("store.txt"));
    QString error;
    const auto again = archive.addDataFile(read("store.txt"), {"port", "/dev/ttyS0", {}}, &error);
    QVERIFY(again);
    QVERIFY(again->existed);
    QCOMPARE(again->id, first);
    const qint64 other = add(archive, loggerVariant(1));
    QVERIFY(other != first && other > 0);
    QCOMPARE(archive.count({}, &error).value_or(-1), 2);
    QCOMPARE(query(path(),
                   "SELECT COUNT(*) FROM readings WHERE download_id = " + QString::number(first)),
             QStringList{QString::number(archive.entry(first, &error)->records)});
}

void tst_archive::readingsTyped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value"); // invalid: NULL, no measurement
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("raw");

    const QByteArray logger = read("logger0.txt");
    QTest::newRow("logger CO") << logger << 1 << "co" << QVariant(34.0) << 4 << "34";
    QTest::newRow("logger pressure")
        << logger << 1 << "pressure" << QVariant(-0.11) << 12 << "-0.11";
    QTest::newRow("logger no temp")
        << read("logger1.txt") << 1 << "value1" << QVariant() << 0 << "0";
    // Raw texts come back as received, whatever number they read as.
    QTest::newRow("leading zeros")
        << loggerWithCo("007") << 1 << "co" << QVariant(7.0) << 4 << "007";
    QTest::newRow("trailing zero")
        << loggerWithCo("34.50") << 1 << "co" << QVariant(34.5) << 4 << "34.50";
    QTest::newRow("spaces, no number")
        << loggerWithCo(" 34  ") << 1 << "co" << QVariant() << 4 << " 34  ";
    QTest::newRow("no measurement") << loggerWithCo("OFL") << 1 << "co" << QVariant() << 4 << "OFL";
}

void tst_archive::readingsTyped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, row);
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(int, cell);
    QFETCH(QString, raw);
    Archive archive;
    openArchive(archive);
    const qint64 id = add(archive, bytes);
    const QStringList stored = query(
        path(), QStringLiteral("SELECT %1 FROM readings WHERE download_id = %2 AND row_no = %3")
                    .arg(column)
                    .arg(id)
                    .arg(row));
    QCOMPARE(stored.size(), 1);
    if (value.isValid())
        QCOMPARE(stored.first().toDouble(), value.toDouble());
    else
        QCOMPARE(stored.first(), QString());
    QStringList header;
    QList<ReadingRows::Row> rows;
    QString error;
    QVERIFY(archive.readings(id, &header, &rows, &error));
    QCOMPARE(rows.first().row, row);
    QCOMPARE(rows.first().cells.value(cell), raw);
}

void tst_archive::refusedInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("not a data file") << QByteArray("hello\r\n") << "not a data file";
    QTest::newRow("Real Mode") << QByteArray("\"0\"\r\n") << "saveable mode";
    QTest::newRow("no such mode") << QByteArray("\"12\"\r\n") << "saveable mode";
    QTest::newRow("short single logger") << QByteArray("\"6\"\r\n\"CO\"\r\n") << "panel lines";
}

void tst_archive::refusedInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    Archive archive;
    openArchive(archive);
    QString error;
    QVERIFY(!archive.addDataFile(bytes, {"file", "odd.txt", {}}, &error));
    QVERIFY2(error.contains("odd.txt") && error.contains(reason), qPrintable(error));
    QCOMPARE(archive.count({}, &error).value_or(-1), 0);
}

void tst_archive::filters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("since");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<int>("mode");            // -1: any
    QTest::addColumn<QList<int>>("expected"); // variants, newest first

    // Variant n is received on 2025-01-(n+1); 0 "Acme", 1 "acme boiler", 2 "Other", 3 "50%".
    QTest::newRow("everything") << "" << QDate() << QDate() << -1 << QList<int>{3, 2, 1, 0};
    QTest::newRow("text, any case") << "ACME" << QDate() << QDate() << -1 << QList<int>{1, 0};
    QTest::newRow("text in site") << "boiler" << QDate() << QDate() << -1 << QList<int>{1};
    QTest::newRow("percent is a letter") << "%" << QDate() << QDate() << -1 << QList<int>{3};
    QTest::newRow("since") << "" << QDate(2025, 1, 2) << QDate() << -1 << QList<int>{3, 2, 1};
    QTest::newRow("until, whole day")
        << "" << QDate() << QDate(2025, 1, 2) << -1 << QList<int>{1, 0};
    QTest::newRow("one day") << "" << QDate(2025, 1, 3) << QDate(2025, 1, 3) << -1 << QList<int>{2};
    QTest::newRow("mode") << "" << QDate() << QDate() << 2 << QList<int>{3, 2, 1, 0};
    QTest::newRow("other mode") << "" << QDate() << QDate() << 1 << QList<int>{};
    QTest::newRow("all at once") << "acme" << QDate(2025, 1, 2) << QDate(2025, 1, 9) << 2
                                 << QList<int>{1};
}

void tst_archive::filters()
{
    QFETCH(QString, text);
    QFETCH(QDate, since);
    QFETCH(QDate, until);
    QFETCH(int, mode);
    QFETCH(QList<int>, expected);
    Archive archive;
    openArchive(archive);
    const QList<ArchiveLabels> labels = {
        {"Acme", {}, {}}, {{}, "ACME boiler", {}}, {"Other", {}, {}}, {{}, {}, "filter 50%"}};
    QHash<qint64, int> variantOf;
    QString error;
    for (int n = 0; n < labels.size(); ++n) {
        const qint64 id =
            add(archive, loggerVariant(n), QDateTime(QDate(2025, 1, n + 1), QTime(12, 0)));
        QVERIFY(archive.label(id, labels[n], &error));
        variantOf.insert(id, n);
    }
    ArchiveFilter filter{text, since, until, {}, {}};
    if (mode >= 0) filter.mode = mode;
    const auto found = archive.list(filter, 0, 100, &error);
    QVERIFY2(found, qPrintable(error));
    QList<int> got;
    for (const ArchiveEntry &e : *found)
        got << variantOf.value(e.id, -1);
    QCOMPARE(got, expected);
    QCOMPARE(archive.count(filter, &error).value_or(-1), expected.size());
    // Pages cut the same list.
    const auto second = archive.list(filter, 1, 1, &error);
    QCOMPARE(second->size(), expected.size() > 1 ? 1 : 0);
    if (!second->isEmpty()) QCOMPARE(variantOf.value(second->first().id), expected[1]);
}

void tst_archive::liveRun()
{
    Archive archive;
    openArchive(archive);
    QString error;
    const auto run = archive.beginLiveRun({"live", "/dev/ttyS0", {}}, &error);
    QVERIFY2(run, qPrintable(error));
    ScreenModel model;
    for (int n = 1; n <= 3; ++n) {
        model.txtRCo.caption = n == 2 ? QStringLiteral("OFL") : QString::number(10 * n);
        model.txtRTemp1.caption = QStringLiteral("180.5");
        QVERIFY2(archive.appendReading(*run, ReadingRows::fromRealPanels(model, n), &error),
                 qPrintable(error));
        // Committed one by one: another connection sees each reading at once.
        QCOMPARE(query(path(), "SELECT COUNT(*) FROM readings"), QStringList{QString::number(n)});
    }
    auto entry = archive.entry(*run, &error);
    QVERIFY(entry->live() && !entry->ended.isValid());
    QCOMPARE(entry->records, 3);
    QVERIFY(archive.endLiveRun(*run, &error));
    QVERIFY(archive.entry(*run, &error)->ended.isValid());
    QVERIFY(!archive.dataFile(*run, &error));
    QVERIFY(error.contains("live run"));

    QStringList header;
    QList<ReadingRows::Row> rows;
    QVERIFY(archive.readings(*run, &header, &rows, &error));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].values[ReadingRows::CO], std::optional<double>(10));
    QCOMPARE(rows[1].values[ReadingRows::CO], std::optional<double>());
    QCOMPARE(rows[1].cells[header.indexOf("CO")], QStringLiteral("OFL"));
    QCOMPARE(rows[2].values[ReadingRows::Temp1], std::optional<double>(180.5));
    QVERIFY(!archive.appendReading(*run + 1, ReadingRows::fromRealPanels(model, 4), &error));
}

void tst_archive::liveReadingTimes_data()
{
    QTest::addColumn<QString>("date");       // shown by the instrument
    QTest::addColumn<QString>("time");       // shown by the instrument
    QTest::addColumn<QDateTime>("arrived");  // invalid: archived before arrivals were kept
    QTest::addColumn<QDateTime>("expected"); // the second reading's time in the reopened run

    // The first reading showed 12/03/24 14:32:07 and arrived at 14:40:00.
    const QDateTime arrived(QDate(2024, 3, 12), QTime(14, 40, 1, 250));
    QTest::newRow("instrument time wins")
        << "12/03/24"
        << "14:32:08" << arrived << QDateTime(QDate(2024, 3, 12), QTime(14, 32, 8));
    QTest::newRow("no time shown: arrival") << "12/03/24"
                                            << "" << arrived << arrived;
    QTest::newRow("unreadable time: arrival") << "12/03/24"
                                              << "14:3" << arrived << arrived;
    QTest::newRow("time without date: arrival's day")
        << ""
        << "09:15:00" << QDateTime(QDate(2024, 3, 13), QTime(9, 15, 2))
        << QDateTime(QDate(2024, 3, 13), QTime(9, 15));
    QTest::newRow("no time, no arrival: the reading before")
        << "12/03/24"
        << "" << QDateTime() << QDateTime(QDate(2024, 3, 12), QTime(14, 32, 7));
}

// A reopened run, its trend and its export know each reading by the instrument's time, and by
// the time it arrived where the instrument showed none.
void tst_archive::liveReadingTimes()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QDateTime, arrived);
    QFETCH(QDateTime, expected);
    Archive archive;
    openArchive(archive);
    QString error;
    const auto run = archive.beginLiveRun({"live", "/dev/ttyS0", {}}, &error);
    QVERIFY2(run, qPrintable(error));
    ScreenModel model;
    model.txtRDate.caption = "12/03/24";
    model.txtRTime.caption = "14:32:07";
    const QDateTime first(QDate(2024, 3, 12), QTime(14, 40));
    QVERIFY(archive.appendReading(*run, ReadingRows::fromRealPanels(model, 1, first), &error));
    model.txtRDate.caption = date;
    model.txtRTime.caption = time;
    QVERIFY(archive.appendReading(*run, ReadingRows::fromRealPanels(model, 2, arrived), &error));
    archive.close();

    Archive reopened;
    openArchive(reopened);
    QStringList header;
    QList<ReadingRows::Row> rows;
    QVERIFY2(reopened.readings(*run, &header, &rows, &error), qPrintable(error));
    QCOMPARE(rows.value(0).arrived, first);
    QCOMPARE(rows.value(1).arrived, arrived);
    ArchivedRun loaded;
    QVERIFY2(ArchivedRun::load(reopened, *run, &loaded, &error), qPrintable(error));
    QCOMPARE(loaded.readings.size(), 2);
    QCOMPARE(loaded.readings[0].time, QDateTime(QDate(2024, 3, 12), QTime(14, 32, 7)));
    QCOMPARE(loaded.readings[1].time, expected);
}

// One customer's CO readings across downloads: the series the trend and the charts read.
void tst_archive::valuesOfOneCustomer()
{
    Archive archive;
    openArchive(archive);
    QString error;
    const QList<QPair<int, QString>> pages = {{7, "Acme"}, {8, "Other"}, {9, "Acme"}};
    for (int i = 0; i < pages.size(); ++i) {
        const qint64 id = add(archive, loggerVariant(pages[i].first),
                              QDateTime(QDate(2025, 3, 3 - i), QTime(9, 0)));
        QVERIFY(archive.label(id, {pages[i].second, {}, {}}, &error));
    }
    ArchiveFilter filter;
    filter.customer = "Acme";
    const auto co = archive.values(filter, ReadingRows::CO, &error);
    QVERIFY2(co, qPrintable(error));
    // The logger page holds 100 records, one of them "OFL": 99 CO readings; oldest first.
    QCOMPARE(co->size(), 198);
    QCOMPARE(co->at(0).value, 9.0);
    QCOMPARE(co->at(0).row, 1);
    QCOMPARE(co->at(99).value, 7.0);
    QCOMPARE(co->at(99).row, 1);
    QCOMPARE(co->at(197).row, 100);
    filter.customer = "Nobody";
    QVERIFY(archive.values(filter, ReadingRows::CO, &error)->isEmpty());
    QVERIFY(!archive.values({}, 99, &error));
}

void tst_archive::labelAndDelete()
{
    Archive archive;
    openArchive(archive);
    const qint64 keep = add(archive, read("store.txt"));
    const qint64 gone = add(archive, read("tightness.txt"));
    QString error;
    QVERIFY(archive.label(keep, {"Acme", "Plant 1", {}}, &error));
    QVERIFY(archive.label(keep, {{}, {}, "after service"}, &error));
    auto e = archive.entry(keep, &error);
    QCOMPARE(QStringList({e->customer, e->site, e->note}),
             QStringList({"Acme", "Plant 1", "after service"}));
    QVERIFY(archive.remove(gone, &error));
    QVERIFY(!archive.entry(gone, &error));
    QVERIFY(error.contains(QString::number(gone)));
    QCOMPARE(query(path(), "SELECT DISTINCT download_id FROM readings"),
             QStringList{QString::number(keep)});
    QVERIFY(!archive.remove(gone, &error));
    QVERIFY(!archive.label(gone, {"x", {}, {}}, &error));
    // Deleted bytes can be archived again.
    QVERIFY(add(archive, read("tightness.txt")) > gone);
}

void tst_archive::migratesFromFirstSchema()
{
    // An archive as the first release made it, holding one download.
    {
        const SqlDialect dialect;
        QStringList statements = ArchiveSchema::stepTo(1);
        statements << "INSERT INTO archive_meta VALUES ('schema', '1')"
                   << "INSERT INTO downloads (received, archived, mode, origin, source, sha256, "
                      "data, data_size, records, customer) VALUES (1, 1, 1, 'file', 'old.txt', "
                      "'abc', x'00', 0, 0, 'Old customer')"
                   << "INSERT INTO downloads (received, archived, mode, origin, source, records) "
                      "VALUES (1700000000000, 1, 0, 'live', 'COM1', 1)"
                   << "INSERT INTO readings (download_id, row_no, cells, co) VALUES "
                      "(2, 1, char(31) || char(31) || '34', 34)";
        for (const QString &s : statements)
            QCOMPARE(query(path(), dialect.sql(s)), QStringList());
    }
    Archive archive;
    openArchive(archive);
    QCOMPARE(query(path(), "SELECT value FROM archive_meta WHERE key = 'schema'"),
             QStringList{QString::number(ArchiveSchema::kCurrent)});
    QString error;
    const auto old = archive.list({"old customer", {}, {}, {}, {}}, 0, 10, &error);
    QVERIFY2(old && old->size() == 1, qPrintable(error));
    // An old live reading, archived without its arrival, is known by the run's start.
    ArchivedRun oldRun;
    QVERIFY2(ArchivedRun::load(archive, 2, &oldRun, &error), qPrintable(error));
    QCOMPARE(oldRun.readings.size(), 1);
    QCOMPARE(oldRun.readings[0].values[0], std::optional<double>(34));
    QCOMPARE(oldRun.readings[0].time, QDateTime::fromMSecsSinceEpoch(1700000000000));
    // What the later steps brought works on the old archive.
    const auto run = archive.beginLiveRun({"live", "COM1", {}}, &error);
    QVERIFY(run && archive.endLiveRun(*run, &error));
    QVERIFY(archive.entry(*run, &error)->ended.isValid());
    QVERIFY(add(archive, read("store.txt")) > 0);
}

void tst_archive::newerSchemaRefused()
{
    {
        Archive archive;
        openArchive(archive);
        add(archive, read("store.txt"));
    }
    query(path(), "UPDATE archive_meta SET value = '99' WHERE key = 'schema'");
    QFile file(path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Archive archive;
    QString error;
    QVERIFY(!archive.open(path(), &error));
    QVERIFY2(error.contains("newer") && error.contains("archive.sqlite"), qPrintable(error));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QVERIFY(archive.setAsidePath().isEmpty());
}

void tst_archive::damagedFileSetAside_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: a real archive with its pages overwritten
    QTest::newRow("not an archive") << QByteArray("\"2\"\r\n\"Add\"\r\n");
    QTest::newRow("pages overwritten") << QByteArray();
}

void tst_archive::damagedFileSetAside()
{
    QFETCH(QByteArray, content);
    if (content.isEmpty()) {
        {
            Archive archive;
            openArchive(archive);
            for (int n = 0; n < 20; ++n)
                add(archive, loggerVariant(n));
        }
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        content = file.readAll();
        // Keep the header, wipe the schema page and what follows.
        content.replace(100, content.size() - 100, QByteArray(content.size() - 100, '\x5a'));
        QVERIFY(file.seek(0));
        file.write(content);
    } else {
        QVERIFY(writeFile(path(), content));
    }
    Archive archive;
    openArchive(archive);
    QVERIFY(!archive.setAsidePath().isEmpty());
    QFile aside(archive.setAsidePath());
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), content);
    QString error;
    QCOMPARE(archive.count({}, &error).value_or(-1), 0);
    QVERIFY(add(archive, read("store.txt")) > 0);
}

void tst_archive::defaultLocation_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("expected"); // "" for the data directory
    QTest::newRow("environment first") << "/tmp/a.sqlite"
                                       << "/tmp/b.sqlite"
                                       << "/tmp/a.sqlite";
    QTest::newRow("then the setting") << ""
                                      << "/tmp/b.sqlite"
                                      << "/tmp/b.sqlite";
    QTest::newRow("then the data directory") << ""
                                             << ""
                                             << "";
}

void tst_archive::defaultLocation()
{
    QFETCH(QString, environment);
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    QStandardPaths::setTestModeEnabled(true); // the settings of a test, not the user's
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Archive::kOrganisation,
                       Archive::kApplication);
    settings.setValue(Archive::kSettingsKey, setting);
    settings.sync();
    qputenv("NRV508_ARCHIVE", environment.toLocal8Bit());
    const QString location = Archive::defaultLocation();
    settings.remove(Archive::kSettingsKey);
    qunsetenv("NRV508_ARCHIVE");
    if (expected.isEmpty())
        QCOMPARE(location, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                               "/NRV508/nrv508/archive.sqlite");
    else
        QCOMPARE(location, expected);
}

QTEST_GUILESS_MAIN(tst_archive)
#include "tst_archive.moc"
