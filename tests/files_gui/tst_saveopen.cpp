#include "FileFixture.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QGroupBox>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The file limit of the process, lowered for one save: writing past it fails as on a full
// disk. SIGXFSZ would otherwise end the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};
} // namespace

class TestSaveOpen : public FileTestBase {
    Q_OBJECT
private slots:
    void saveAndOpenEveryMode_data();
    void saveAndOpenEveryMode();
    void realModeRefusesSave();
    void openIgnoredDuringDownload();
    void dialogShowsItsOwnButton();
    void extensionRule_data();
    void extensionRule();
    void openTakesNameAsTyped();
    void overwriteAsked_data();
    void overwriteAsked();
    void emptyFileReusedWithoutQuestion();
    void emptyNameClosesAndDoesNothing_data();
    void emptyNameClosesAndDoesNothing();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void notADataFileRefused_data();
    void notADataFileRefused();
    void unusableNameRefused_data();
    void unusableNameRefused();
};

void TestSaveOpen::saveAndOpenEveryMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");
    for (int mode = Store; mode <= Tightness; ++mode) {
        const Family f = familyOf(mode);
        const char *frame = f == Family::Store || f == Family::Logger ? "FrameStore" : "FrameSL";
        const char *caption = f == Family::Store       ? "Store Mode Data"
                              : f == Family::Logger    ? "Logger Mode Data"
                              : f == Family::Tightness ? "Tightness Mode Data"
                                                       : "Single Logger Mode Data";
        QTest::addRow("mode %d", mode) << mode << frame << caption;
    }
}

void TestSaveOpen::saveAndOpenEveryMode()
{
    QFETCH(int, mode);
    QFETCH(QString, frame);
    QFETCH(QString, caption);
    FileFixture a;
    a.download(mode);
    a.messages.clear();
    const QByteArray saved = DataFile::serialize(a.m);
    a.saveAs(QStringLiteral("run"));
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(a.messages.lines(), QStringList());
    QCOMPARE(readAll(path("run.txt")), saved);

    FileFixture b;
    frmSave *d = b.open();
    QVERIFY(d);
    FileFixture::type(d, QStringLiteral("run.txt"));
    FileFixture::click(d, "scOKopen");
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(b.messages.lines(), QStringList());
    QCOMPARE(b.m.CurrentMode, qint16(mode));
    QCOMPARE(DataFile::serialize(b.m), saved); // tables, leading panels, version, sampling
    QVERIFY(b.find(qPrintable(frame))->isVisible());
    QCOMPARE(b.find<QGroupBox>(qPrintable(frame))->title(), caption);
    // The browse panels show the first reading, as after the download.
    for (const char *panel : {"txtSAdd2", "txtSDate", "txtSTime", "txtSCo", "txtSPressure"})
        QCOMPARE(b.m.element(panel)->caption, a.m.element(panel)->caption);
}

void TestSaveOpen::realModeRefusesSave()
{
    FileFixture f;
    QCOMPARE(f.m.CurrentMode, qint16(Real));
    QVERIFY(!f.save());
    QCOMPARE(f.messages.count(), 1);
    const RecordingMessages::Box box = f.messages.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Save"));
    QCOMPARE(box.text, QStringLiteral("The reading is not saved in the Real Data Mode"));
    QCOMPARE(box.icon, MessageIcon::Information);
    QCOMPARE(box.buttons, MessageButtons::Ok);
    QCOMPARE(entries(m_dir->path()), QStringList());
}

void TestSaveOpen::openIgnoredDuringDownload()
{
    FileFixture f;
    f.m.cmdStart.caption = QStringLiteral("Stop"); // as during a live run
    QVERIFY(!f.open());
    QCOMPARE(f.messages.count(), 0);
    f.m.cmdStart.caption = QStringLiteral("Start");
    QVERIFY(f.open());
}

void TestSaveOpen::dialogShowsItsOwnButton()
{
    FileFixture f;
    f.download(Store);
    for (const bool saving : {true, false, true, false}) {
        frmSave *d = saving ? f.save() : f.open();
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), saving ? "File Save" : "File Open");
        QCOMPARE(child<QGroupBox>(d, "SSFrame2")->title(), saving ? "Save File" : "Open File");
        QCOMPARE(child<QPushButton>(d, "scOk")->isVisible(), saving);
        QCOMPARE(child<QPushButton>(d, "scOKopen")->isVisible(), !saving);
        QCOMPARE(FileFixture::text1(d), QString()); // a new dialog every time
        FileFixture::type(d, QStringLiteral("left over"));
        FileFixture::click(d, "SSCommand3");
        QVERIFY(!FileFixture::dialog());
    }
    QCOMPARE(entries(m_dir->path()), QStringList());
}

void TestSaveOpen::extensionRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("none") << "run1"
                          << "run1.txt";
    QTest::newRow("txt") << "run1.txt"
                         << "run1.txt";
    QTest::newRow("ends in txt") << "mytxt"
                                 << "mytxt";
    QTest::newRow("upper case") << "run1.TXT"
                                << "run1.TXT.txt";
    QTest::newRow("mixed case") << "run1.Txt"
                                << "run1.Txt.txt";
    QTest::newRow("other") << "run1.text"
                           << "run1.text.txt";
    QTest::newRow("spaces kept") << "run 1"
                                 << "run 1.txt";
}

void TestSaveOpen::extensionRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    FileFixture f;
    f.download(Store);
    f.saveAs(typed);
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(entries(m_dir->path()), QStringList{file});
    QCOMPARE(readAll(path(file)), DataFile::serialize(f.m));
}

void TestSaveOpen::openTakesNameAsTyped()
{
    FileFixture a;
    a.download(Store);
    QVERIFY(writeFile(path("run1"), DataFile::serialize(a.m)));
    a.download(Tightness);
    QVERIFY(writeFile(path("run1.txt"), DataFile::serialize(a.m)));

    FileFixture b;
    frmSave *d = b.open();
    FileFixture::type(d, QStringLiteral("run1"));
    FileFixture::click(d, "scOKopen");
    QCOMPARE(b.m.CurrentMode, qint16(Store));
}

void TestSaveOpen::overwriteAsked_data()
{
    QTest::addColumn<bool>("cancelFirst");
    QTest::newRow("confirmed") << false;
    QTest::newRow("cancelled, then confirmed") << true;
}

void TestSaveOpen::overwriteAsked()
{
    QFETCH(bool, cancelFirst);
    const QByteArray old("\"1\"\r\n\"an older download\"\r\n");
    QVERIFY(writeFile(path("old.txt"), old));
    FileFixture f;
    f.download(LoggerPage0);
    f.messages.clear();
    frmSave *d = f.save();
    FileFixture::type(d, QStringLiteral("old"));
    if (cancelFirst) {
        f.messages.scriptAnswers({MessageAnswer::Cancel});
        FileFixture::click(d, "scOk");
        QCOMPARE(FileFixture::dialog(), d);
        QCOMPARE(FileFixture::text1(d), QStringLiteral("old.txt"));
        QCOMPARE(readAll(path("old.txt")), old);
        QCOMPARE(entries(m_dir->path()), QStringList{"old.txt"});
    }
    FileFixture::click(d, "scOk");
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(readAll(path("old.txt")), DataFile::serialize(f.m));
    QCOMPARE(f.messages.count(), cancelFirst ? 2 : 1);
    for (const RecordingMessages::Box &box : f.messages.boxes()) {
        QCOMPARE(box.title, QStringLiteral("File Save"));
        QCOMPARE(box.text, QStringLiteral("save data already exists. overwrite the data?"));
        QCOMPARE(box.icon, MessageIcon::Information);
        QCOMPARE(box.buttons, MessageButtons::OkCancel);
    }
}

void TestSaveOpen::emptyFileReusedWithoutQuestion()
{
    QVERIFY(writeFile(path("empty.txt"), QByteArray()));
    FileFixture f;
    f.download(Store);
    f.messages.clear();
    f.saveAs(QStringLiteral("empty"));
    QCOMPARE(f.messages.count(), 0);
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(readAll(path("empty.txt")), DataFile::serialize(f.m));
}

void TestSaveOpen::emptyNameClosesAndDoesNothing_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("Save OK") << true;
    QTest::newRow("Open OK") << false;
}

void TestSaveOpen::emptyNameClosesAndDoesNothing()
{
    QFETCH(bool, saving);
    FileFixture f;
    f.download(Store);
    f.messages.clear();
    const QByteArray before = DataFile::serialize(f.m);
    frmSave *d = saving ? f.save() : f.open();
    FileFixture::click(d, saving ? "scOk" : "scOKopen");
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(f.messages.count(), 0);
    QCOMPARE(entries(m_dir->path()), QStringList());
    QCOMPARE(DataFile::serialize(f.m), before);
}

void TestSaveOpen::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("reason");
    // Root writes into read-only directories, so a lowered file size limit stands in for a
    // place that takes no new file; a directory of the file's name is another.
    QTest::newRow("file size limit") << "limit"
                                     << "File too large";
    QTest::newRow("directory of that name") << "directory"
                                            << "directory";
    QTest::newRow("read-only directory") << "read-only"
                                         << "ermission";
}

void TestSaveOpen::failedSaveKeepsOldFile()
{
    QFETCH(QString, how);
    QFETCH(QString, reason);
    if (how == "read-only" && geteuid() == 0) QSKIP("root writes into read-only directories");
    const QByteArray old("\"1\"\r\n\"an older download\"\r\n");
    QVERIFY(how == "directory" ? QDir(m_dir->path()).mkdir("run.txt")
                               : writeFile(path("run.txt"), old));
    FileFixture f;
    f.download(Store);
    f.messages.clear();
    frmSave *d = f.save();
    FileFixture::type(d, QStringLiteral("run"));
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (how == "limit") limit = std::make_unique<FileSizeLimit>(512);
        if (how == "read-only")
            QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        FileFixture::click(d, "scOk");
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QCOMPARE(FileFixture::dialog(), d);
    const RecordingMessages::Box box = f.messages.boxes().last();
    QCOMPARE(box.title, QStringLiteral("File Save"));
    QVERIFY2(box.text.contains(path("run.txt")) && box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(entries(m_dir->path()), QStringList{"run.txt"}); // no temporary file left
    if (how != "directory") QCOMPARE(readAll(path("run.txt")), old);
}

void TestSaveOpen::notADataFileRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text") << QByteArray("Dear customer,\r\nthe burner\r\n") << "not a data file";
    QTest::newRow("empty") << QByteArray("") << "empty";
    QTest::newRow("mode 0") << QByteArray("\"0\"\r\n\"2.05\"\r\n") << "saveable mode";
    QTest::newRow("mode 12") << QByteArray("\"12\"\r\n\"2.05\"\r\n") << "saveable mode";
    QTest::newRow("short single logger") << QByteArray("\"6\"\r\n\"CO\"\r\n") << "ends before";
    QTest::newRow("missing") << QByteArray() << "No such file";
    QTest::newRow("directory") << QByteArray() << "directory";
}

void TestSaveOpen::notADataFileRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (tag == "directory")
        QVERIFY(QDir(m_dir->path()).mkdir("data.txt"));
    else if (tag != "missing")
        QVERIFY(writeFile(path("data.txt"), bytes));
    FileFixture f;
    f.download(Store);
    f.messages.clear();
    const QByteArray before = DataFile::serialize(f.m);
    frmSave *d = f.open();
    FileFixture::type(d, QStringLiteral("data.txt"));
    FileFixture::click(d, "scOKopen");
    QCOMPARE(FileFixture::dialog(), d);
    QCOMPARE(f.messages.count(), 1);
    const RecordingMessages::Box box = f.messages.boxes().first();
    QCOMPARE(box.title, QStringLiteral("File Open"));
    QVERIFY2(box.text.contains(path("data.txt")) && box.text.contains(reason),
             qPrintable(box.text));
    QCOMPARE(f.m.CurrentMode, qint16(Store));
    QCOMPARE(DataFile::serialize(f.m), before);
}

void TestSaveOpen::unusableNameRefused_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    for (const bool saving : {true, false}) {
        const char *kind = saving ? "save" : "open";
        QTest::addRow("%s sub/run", kind) << saving << "sub/run"
                                          << "directory part";
        QTest::addRow("%s ../run", kind) << saving << "../run"
                                         << "directory part";
        QTest::addRow("%s absolute", kind) << saving << "ABSOLUTE"
                                           << "directory part";
        QTest::addRow("%s backslash", kind) << saving << "sub\\run"
                                            << "directory part";
        QTest::addRow("%s control", kind) << saving << "run\x01"
                                          << "control character";
        QTest::addRow("%s dot dot", kind) << saving << ".."
                                          << "names a directory";
    }
}

void TestSaveOpen::unusableNameRefused()
{
    QFETCH(bool, saving);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    const QString sub = path("sub");
    if (name == "ABSOLUTE") name = sub + "/run";
    FileFixture a;
    a.download(Store);
    QVERIFY(writeFile(sub + "/run.txt", DataFile::serialize(a.m)));
    QVERIFY(writeFile(sub + "/run", DataFile::serialize(a.m)));
    const QByteArray inSub = readAll(sub + "/run.txt");

    FileFixture f;
    f.download(Tightness);
    f.messages.clear();
    frmSave *d = saving ? f.save() : f.open();
    child<QLineEdit>(d, "Text1")->setText(name);
    FileFixture::click(d, saving ? "scOk" : "scOKopen");
    QCOMPARE(FileFixture::dialog(), d);
    QCOMPARE(FileFixture::text1(d), name);
    QCOMPARE(f.messages.count(), 1);
    const RecordingMessages::Box box = f.messages.boxes().first();
    QCOMPARE(box.title, saving ? QStringLiteral("File Save") : QStringLiteral("File Open"));
    QVERIFY2(box.text.contains(name) && box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(f.m.CurrentMode, qint16(Tightness));
    QCOMPARE(entries(m_dir->path()), QStringList{"sub"});
    QCOMPARE(entries(sub), (QStringList{"run", "run.txt"}));
    QCOMPARE(readAll(sub + "/run.txt"), inSub);
}

QTEST_MAIN(TestSaveOpen)
#include "tst_saveopen.moc"
