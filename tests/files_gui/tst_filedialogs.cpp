// File > Save, File > Open, the file browser and the recent files, driven as a user drives
// them: the real main window and File menu, message boxes recorded and answered as scripted.
#include "Streams.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "files/frmBrowser.h"
#include "files/frmSave.h"
#include "tables/Modes.h"
#include "tables/frmMain.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <sys/resource.h>

namespace {
const char *const kNames[] = {"real",    "store",   "logger0", "logger1", "logger2", "logger3",
                              "single0", "single1", "single2", "single3", "single4", "tightness"};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// "streams": what the instrument sends in the mode; "expected": the data file saved from it.
QByteArray testData(const char *kind, int mode)
{
    return readAll(QStringLiteral(NRV508_TEST_DATA "/%1/%2.txt").arg(kind, kNames[mode]));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Every path below dir with a hash of its bytes: what a refused save or open leaves as it was.
QStringList tree(const QString &dir)
{
    QStringList out;
    for (QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        out << it.next() + " " + QString::number(qHash(readAll(it.filePath())));
    out.sort();
    return out;
}

QString clean(const QString &path)
{
    return QDir(path).canonicalPath();
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    return parent ? parent->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

// The file dialog (or with T = frmBrowser the browser) on top, or nullptr.
template <typename T = frmSave> T *top()
{
    return qobject_cast<T *>(QApplication::activeModalWidget());
}

void click(QWidget *window, const char *button)
{
    QPushButton *b = child<QPushButton>(window, button);
    QVERIFY2(b && b->isVisible(), button);
    QTest::mouseClick(b, Qt::LeftButton);
}

QLineEdit *text1(QWidget *dialog)
{
    return child<QLineEdit>(dialog, "Text1");
}

void type(QWidget *dialog, const QString &name)
{
    text1(dialog)->clear();
    QTest::keyClicks(text1(dialog), name);
}

QStringList texts(QWidget *browser, const char *list)
{
    QStringList out;
    for (int i = 0; i < child<QListWidget>(browser, list)->count(); ++i)
        out << child<QListWidget>(browser, list)->item(i)->text();
    return out;
}

void doubleClick(QWidget *browser, const char *list, const QString &text)
{
    QListWidget *view = child<QListWidget>(browser, list);
    const auto found = view->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    const QPoint at = view->visualItemRect(found.first()).center();
    // A double click arrives after the press and release of its first click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The program and its main window over a port that is never opened.
struct FileFixture {
    DevicePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &m = program.model;
    std::unique_ptr<frmMain> window;

    FileFixture()
    {
        program.startUp();
        window = std::make_unique<frmMain>(program);
        window->show();
    }
    template <typename T = QWidget> T *find(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    frmSave *menu(const char *action)
    {
        find<QAction>(action)->trigger();
        return top();
    }
    void download(int mode)
    {
        program.modes.switchTo(mode);
        takeReceived(m, testData("streams", mode));
        program.reception.run();
        m.notify();
        messages.clear();
    }
    // File > Save or Open, the name, and Enter for the dialog's OK.
    void fileAs(const char *action, const QString &name)
    {
        frmSave *d = menu(action);
        QVERIFY(d);
        type(d, name);
        QTest::keyClick(text1(d), Qt::Key_Return);
    }
};
} // namespace

class TestFileDialogs : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settings;
    const QString m_home = QDir::currentPath();

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    // Each test runs in a working directory of its own, its recent files apart from the user's.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings->path());
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void cleanup() { QDir::setCurrent(m_home); }

    void saveAndOpenEveryMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file"); // ".txt" added unless the name ends in lower-case "txt"
        const char *const names[][2] = {
            {"run1", "run1.txt"},         {"run1.txt", "run1.txt"},       {"mytxt", "mytxt"},
            {"run1.TXT", "run1.TXT.txt"}, {"run1.text", "run1.text.txt"}, {"run 1", "run 1.txt"}};
        for (int mode = Store; mode <= Tightness; ++mode) {
            const char *const *name = names[mode % 6];
            QTest::addRow("%s as %s", kNames[mode], name[0]) << mode << name[0] << name[1];
        }
    }
    void saveAndOpenEveryMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        QFETCH(QString, file);
        FileFixture a;
        a.download(mode);
        a.fileAs("mnuSave", typed);
        QVERIFY(!top());
        QCOMPARE(entries(m_dir->path()), QStringList{file});
        QCOMPARE(readAll(path(file)), testData("expected", mode));

        FileFixture b; // a later run of the program; Open takes the name as typed
        b.fileAs("mnuOpen", file);
        QVERIFY(!top());
        QCOMPARE(a.messages.lines() + b.messages.lines(), QStringList());
        QCOMPARE(b.m.CurrentMode, qint16(mode));
        QCOMPARE(DataFile::serialize(b.m), testData("expected", mode));
        // The frame's caption names the file's family, not the page.
        const char *family = mode == Store         ? "Store"
                             : mode <= LoggerPage3 ? "Logger"
                             : mode < Tightness    ? "Single Logger"
                                                   : "Tightness";
        auto *frame = b.find<QGroupBox>(mode <= LoggerPage3 ? "FrameStore" : "FrameSL");
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->title(), QString(family) + " Mode Data");
    }

    void menuAndDialog()
    {
        FileFixture f; // Real Mode at start-up: there is no table to save
        QVERIFY(!f.menu("mnuSave"));
        QCOMPARE(f.messages.lines(),
                 QStringList{"Save: The reading is not saved in the Real Data Mode"});
        QCOMPARE(f.messages.boxes().first().icon, MessageIcon::Information);
        f.m.cmdStart.caption = QStringLiteral("Stop"); // a live run: Open is ignored silently
        QVERIFY(!f.menu("mnuOpen"));
        QCOMPARE(f.messages.count(), 1);
        f.m.cmdStart.caption = QStringLiteral("Start");
        f.download(Store);
        const QByteArray before = DataFile::serialize(f.m);
        for (int i = 0; i < 4; ++i) {
            const bool saving = i % 2 == 0;
            frmSave *d = f.menu(saving ? "mnuSave" : "mnuOpen");
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), saving ? "File Save" : "File Open");
            QCOMPARE(child<QPushButton>(d, "scOk")->isVisible(), saving);
            QCOMPARE(child<QPushButton>(d, "scOKopen")->isVisible(), !saving);
            QCOMPARE(d->focusWidget(), text1(d));
            QCOMPARE(text1(d)->text(), QString()); // a new dialog every time
            // Cancel and Escape drop a typed name; OK with no name closes and does nothing.
            if (i < 2) type(d, QStringLiteral("left over"));
            if (i == 0) click(d, "SSCommand3");
            if (i == 1) QTest::keyClick(text1(d), Qt::Key_Escape);
            if (i >= 2) click(d, saving ? "scOk" : "scOKopen");
            QVERIFY(!top());
        }
        QCOMPARE(f.messages.count(), 0);
        QCOMPARE(entries(m_dir->path()), QStringList());
        QCOMPARE(DataFile::serialize(f.m), before);
    }

    void overwrite_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<int>("questions");
        const QByteArray old("\"1\"\r\n\"an older download\"\r\n");
        QTest::newRow("confirmed") << old << 1;
        QTest::newRow("cancelled, then confirmed") << old << 2;
        QTest::newRow("empty file reused without a question") << QByteArray() << 0;
        QTest::newRow("confirmed, the write fails") << old << 1;
    }
    void overwrite()
    {
        QFETCH(QByteArray, old);
        QFETCH(int, questions);
        const bool fails = QByteArray(QTest::currentDataTag()).contains("fails");
        QVERIFY(writeFile(path("old.txt"), old));
        FileFixture f;
        f.download(LoggerPage0);
        frmSave *d = f.menu("mnuSave");
        type(d, QStringLiteral("old"));
        if (questions == 2) { // Cancel keeps the dialog, with the name as the file has it
            f.messages.scriptAnswers({MessageAnswer::Cancel});
            click(d, "scOk");
            QCOMPARE(top(), d);
            QCOMPARE(text1(d)->text(), QStringLiteral("old.txt"));
            QCOMPARE(readAll(path("old.txt")), old);
        }
        // Past a lowered file size limit the write fails as on a full disk (not by SIGXFSZ).
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{fails ? 512 : saved.rlim_cur, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        click(d, "scOk");
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(top() == d, fails);
        QCOMPARE(entries(m_dir->path()), QStringList{"old.txt"}); // no temporary file left
        QCOMPARE(readAll(path("old.txt")), fails ? old : testData("expected", LoggerPage0));
        const QStringList shown = f.messages.lines();
        QCOMPARE(shown.size(), questions + (fails ? 1 : 0));
        QCOMPARE(
            shown.mid(0, questions),
            QStringList(questions, "File Save: save data already exists. overwrite the data?"));
        for (const RecordingMessages::Box &box : f.messages.boxes().mid(0, questions))
            QCOMPARE(box.buttons, MessageButtons::OkCancel);
        if (fails)
            QVERIFY2(shown.last().contains(path("old.txt")) && shown.last().contains("too large"),
                     qPrintable(shown.last()));
    }

    void refusalLeavesEverything_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open: text") << "letter.txt" << false << "not a data file";
        QTest::newRow("open: mode 0") << "mode0.txt" << false << "saveable mode";
        QTest::newRow("open: name as typed") << "run" << false << "No such file";
        QTest::newRow("save: directory part") << "sub/run" << true << "directory part";
        QTest::newRow("save: control character") << "run\x01" << true << "control character";
    }
    void refusalLeavesEverything()
    {
        QFETCH(QString, name);
        QFETCH(bool, saving);
        QFETCH(QString, reason);
        // Data files a name wrongly taken would reach.
        QVERIFY(QDir(m_dir->path()).mkdir("sub"));
        QVERIFY(writeFile(path("run.txt"), testData("expected", Store)) &&
                writeFile(path("sub/run.txt"), testData("expected", Store)) &&
                writeFile(path("letter.txt"), "Dear customer,\r\nthe burner\r\n") &&
                writeFile(path("mode0.txt"), "\"0\"\r\n\"2.05\"\r\n"));
        const QStringList before = tree(m_dir->path());
        FileFixture f;
        f.download(Tightness);
        const QByteArray tables = DataFile::serialize(f.m);
        frmSave *d = f.menu(saving ? "mnuSave" : "mnuOpen");
        text1(d)->setText(name);
        click(d, saving ? "scOk" : "scOKopen");
        QCOMPARE(top(), d);
        QVERIFY(text1(d)->text().startsWith(name));
        QCOMPARE(f.messages.count(), 1);
        const QString text = f.messages.lines().first();
        QVERIFY2(text.startsWith(saving ? "File Save: " : "File Open: ") && text.contains(name) &&
                     text.contains(reason),
                 qPrintable(text));
        QCOMPARE(DataFile::serialize(f.m), tables);
        QCOMPARE(tree(m_dir->path()), before);
    }

    void browser()
    {
        for (const char *name : {"b.txt", "A.TXT", "c.dat", "mytxt"})
            QVERIFY(writeFile(path(name), "x"));
        QVERIFY(QDir(m_dir->path()).mkdir("sub") && writeFile(path("sub/in sub.txt"), "x"));
        FileFixture f;
        f.download(Store);
        frmSave *d = f.menu("mnuSave");
        type(d, QStringLiteral("typed"));
        click(d, "SSCommand1");
        frmBrowser *b = top<frmBrowser>();
        QVERIFY(b);
        QCOMPARE(texts(b, "File1"), QStringList{"b.txt"}); // "*.txt" as typed: case counts
        QCOMPARE(texts(b, "Dir1"), (QStringList{"..", "sub"}));
        // Enter on a directory goes into it rather than pressing "OK".
        child<QListWidget>(b, "Dir1")->setCurrentRow(1);
        QTest::keyClick(child<QListWidget>(b, "Dir1"), Qt::Key_Return);
        QCOMPARE(texts(b, "File1"), QStringList{"in sub.txt"});
        doubleClick(b, "Dir1", "..");
        QCOMPARE(clean(b->directory()), clean(m_dir->path()));
        auto *drives = child<QComboBox>(b, "Drive1"); // the home directory is one of its places
        drives->setCurrentIndex(drives->findData(QDir::cleanPath(QDir::homePath())));
        QCOMPARE(clean(b->directory()), clean(QDir::homePath()));

        // Cancel ends the browser, leaving the name; the next starts in the working directory.
        click(b, "SSCommand2");
        QCOMPARE(top(), d);
        QCOMPARE(text1(d)->text(), QStringLiteral("typed"));
        click(d, "SSCommand1");
        b = top<frmBrowser>();
        QCOMPARE(clean(b->directory()), clean(m_dir->path()));

        // Enter on the file list, or a double-click on a file, takes its name; the browser
        // waits hidden where it was.
        child<QListWidget>(b, "File1")->setCurrentRow(0);
        QTest::keyClick(child<QListWidget>(b, "File1"), Qt::Key_Return);
        QCOMPARE(top(), d);
        QCOMPARE(text1(d)->text(), QStringLiteral("b.txt"));
        click(d, "SSCommand1");
        doubleClick(b, "Dir1", "sub");
        doubleClick(b, "File1", "in sub.txt");
        QCOMPARE(top(), d);
        QCOMPARE(text1(d)->text(), QStringLiteral("in sub.txt"));
        QVERIFY(child<QLabel>(d, "labDirectory")->text().endsWith("sub"));
        click(d, "SSCommand3"); // the dialog's Cancel: no directory entered
        QCOMPARE(clean(QDir::currentPath()), clean(m_dir->path()));

        // Save OK writes into the browsed directory and makes it the working directory.
        d = f.menu("mnuSave");
        type(d, QStringLiteral("run"));
        click(d, "scOk");
        QVERIFY(!top());
        QCOMPARE(readAll(path("sub/run.txt")), testData("expected", Store));
        QVERIFY(!QFile::exists(path("run.txt")));
        QCOMPARE(clean(QDir::currentPath()), clean(path("sub")));
        click(f.menu("mnuOpen"), "SSCommand1");
        QCOMPARE(texts(top<frmBrowser>(), "File1"), (QStringList{"in sub.txt", "run.txt"}));
    }

    void recentFiles()
    {
        {
            FileFixture f;
            f.download(Store);
            for (const char *name : {"a", "b", "c", "d", "e"})
                f.fileAs("mnuSave", QString::fromLatin1(name));
            f.fileAs("mnuOpen", QStringLiteral("b.txt"));
            f.download(Tightness);
            f.fileAs("mnuSave", QStringLiteral("t&t"));
            QVERIFY(f.find<QAction>("mnuRecent4") && !f.find<QAction>("mnuRecent5")); // 4 at most
        }
        QVERIFY(!tree(m_settings->path()).isEmpty()); // kept in the user's settings

        // A new run of the program, started elsewhere, lists them below the File menu's own.
        QVERIFY(QDir::setCurrent(m_settings->path()));
        FileFixture g;
        const QList<QAction *> actions = g.find<QMenu>("mnuFile")->actions();
        QStringList shown;
        for (QAction *a : actions.mid(actions.indexOf(g.find<QAction>("mnuExit")) + 1))
            shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        const QString dir = m_dir->path();
        QCOMPARE(shown, (QStringList{"-", "&1 " + dir + "/t&&t.txt", "&2 " + dir + "/b.txt",
                                     "&3 " + dir + "/e.txt", "&4 " + dir + "/d.txt"}));
        g.download(Store);
        g.find<QAction>("mnuRecent1")->trigger();
        QCOMPARE(g.m.CurrentMode, qint16(Tightness));
        QCOMPARE(clean(QDir::currentPath()), clean(m_dir->path()));
        QCOMPARE(g.messages.count(), 0);

        // A file gone since is reported by name, and the tables stay.
        QVERIFY(QFile::remove(path("e.txt")));
        g.find<QAction>("mnuRecent3")->trigger();
        QCOMPARE(g.messages.count(), 1);
        QVERIFY(g.messages.lines().first().contains(path("e.txt")));
        QCOMPARE(g.m.CurrentMode, qint16(Tightness));
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
