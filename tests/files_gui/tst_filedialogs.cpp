// File > Save, File > Open, the file browser and the recent files, driven as a user drives
// them: the real main window and File menu, message boxes recorded and answered as scripted.
#include "Streams.h"
#include "files/DataFile.h"
#include "files/frmBrowser.h"
#include "files/frmSave.h"
#include "gui/MainWindowHarness.h"
#include "tables/Modes.h"

#include <csignal>
#include <sys/resource.h>

const char *const kNames[] = {"real",    "store",   "logger0", "logger1", "logger2", "logger3",
                              "single0", "single1", "single2", "single3", "single4", "tightness"};

// "streams": what the instrument sends in the mode; "expected": the data file saved from it.
QByteArray testData(const char *kind, int mode)
{
    return readFile(QStringLiteral(NRV508_TEST_DATA "/%1/%2.txt").arg(kind, kNames[mode]));
}

// Every path below dir with a hash of its bytes: what a refused save or open leaves as it was.
QStringList tree(const QString &dir)
{
    QStringList out;
    for (QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        out << it.next() + " " + QString::number(qHash(readFile(it.filePath())));
    out.sort();
    return out;
}

class TestFileDialogs : public QObject {
    Q_OBJECT
    // The program and its main window over a port that is never opened.
    std::unique_ptr<MainWindowHarness> h;

    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    static QString clean(const QString &path) { return QDir(path).canonicalPath(); }
    // The file dialog (or with T = frmBrowser the browser) on top, or nullptr.
    template <typename T = frmSave> static T *top()
    {
        return qobject_cast<T *>(QApplication::activeModalWidget());
    }
    static QLineEdit *text1(QWidget *dialog) { return dialog->findChild<QLineEdit *>("Text1"); }
    // The name in dialog d while d is the window on top.
    static QString nameIn(QWidget *d) { return top() == d ? text1(d)->text() : "<not on top>"; }
    static void type(QWidget *dialog, const QString &name)
    {
        text1(dialog)->clear();
        QTest::keyClicks(text1(dialog), name);
    }
    static void click(QWidget *window, const char *button)
    {
        QPushButton *b = window ? window->findChild<QPushButton *>(button) : nullptr;
        QVERIFY2(b && b->isVisible(), button);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    static QStringList texts(QWidget *browser, const char *list)
    {
        QStringList out;
        for (int i = 0; i < browser->findChild<QListWidget *>(list)->count(); ++i)
            out << browser->findChild<QListWidget *>(list)->item(i)->text();
        return out;
    }

    static void doubleClick(QWidget *browser, const char *list, const QString &text)
    {
        QListWidget *view = browser->findChild<QListWidget *>(list);
        const auto found = view->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        const QPoint at = view->visualItemRect(found.first()).center();
        // A double click arrives after the press and release of its first click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    QString path(const QString &name) const { return h->dir.filePath(name); }
    frmSave *menu(const char *action)
    {
        h->action(action)->trigger();
        return top();
    }
    void download(int mode)
    {
        h->program->modes.switchTo(mode);
        takeReceived(h->model(), testData("streams", mode));
        h->program->reception.run();
        h->model().notify();
        h->messages.clear();
    }
    // File > Save or Open, the name, and Enter for the dialog's OK.
    void fileAs(const char *action, const QString &name)
    {
        frmSave *d = menu(action);
        QVERIFY(d);
        type(d, name);
        QTest::keyClick(text1(d), Qt::Key_Return);
    }

private slots:
    void init() { h = std::make_unique<MainWindowHarness>(); }
    void cleanup() { h.reset(); }

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
        download(mode);
        fileAs("mnuSave", typed);
        QVERIFY(!top());
        QCOMPARE(entries(h->dir.path()), QStringList{file});
        QCOMPARE(readFile(path(file)), testData("expected", mode));

        h->start(); // a later run of the program; Open takes the name as typed
        fileAs("mnuOpen", file);
        QVERIFY(!top());
        QCOMPARE(h->messages.lines(), QStringList());
        QCOMPARE(DataFile::serialize(h->model()), testData("expected", mode));
        // The frame's caption names the file's family, not the page.
        const char *family = mode == Store         ? "Store"
                             : mode <= LoggerPage3 ? "Logger"
                             : mode < Tightness    ? "Single Logger"
                                                   : "Tightness";
        h->expect({QStringLiteral("%1=%2 Mode Data")
                       .arg(mode <= LoggerPage3 ? "FrameStore" : "FrameSL", family)});
    }

    void menuAndDialog()
    {
        // Real Mode at start-up: there is no table to save.
        QVERIFY(!menu("mnuSave"));
        QCOMPARE(h->messages.lines(),
                 QStringList{"Save: The reading is not saved in the Real Data Mode"});
        QCOMPARE(h->messages.boxes().first().icon, MessageIcon::Information);
        // A live run: Open is ignored silently.
        h->model().cmdStart.caption = QStringLiteral("Stop");
        QVERIFY(!menu("mnuOpen"));
        QCOMPARE(h->messages.count(), 1);
        h->model().cmdStart.caption = QStringLiteral("Start");
        download(Store);
        const QByteArray before = DataFile::serialize(h->model());
        for (int i = 0; i < 4; ++i) {
            const bool saving = i % 2 == 0;
            frmSave *d = menu(saving ? "mnuSave" : "mnuOpen");
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), saving ? "File Save" : "File Open");
            QCOMPARE(d->findChild<QPushButton *>("scOk")->isVisible(), saving);
            QCOMPARE(d->findChild<QPushButton *>("scOKopen")->isVisible(), !saving);
            QCOMPARE(d->focusWidget(), text1(d));
            QCOMPARE(text1(d)->text(), QString()); // a new dialog every time
            // Cancel and Escape drop a typed name; OK with no name closes and does nothing.
            if (i < 2) type(d, QStringLiteral("left over"));
            if (i == 0) click(d, "SSCommand3");
            if (i == 1) QTest::keyClick(text1(d), Qt::Key_Escape);
            if (i >= 2) click(d, saving ? "scOk" : "scOKopen");
            QVERIFY(!top());
        }
        QCOMPARE(h->messages.count(), 0);
        QCOMPARE(entries(h->dir.path()), QStringList());
        QCOMPARE(DataFile::serialize(h->model()), before);
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
        download(LoggerPage0);
        frmSave *d = menu("mnuSave");
        type(d, QStringLiteral("old"));
        if (questions == 2) { // Cancel keeps the dialog, with the name as the file has it
            h->messages.scriptAnswers({MessageAnswer::Cancel});
            click(d, "scOk");
            QCOMPARE(nameIn(d), QStringLiteral("old.txt"));
            QCOMPARE(readFile(path("old.txt")), old);
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
        QCOMPARE(entries(h->dir.path()), QStringList{"old.txt"}); // no temporary file left
        QCOMPARE(readFile(path("old.txt")), fails ? old : testData("expected", LoggerPage0));
        const QStringList shown = h->messages.lines();
        QCOMPARE(shown.size(), questions + (fails ? 1 : 0));
        const char *question = "File Save: save data already exists. overwrite the data?";
        QCOMPARE(shown.mid(0, questions), QStringList(questions, question));
        for (const RecordingMessages::Box &box : h->messages.boxes().mid(0, questions))
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
        QTest::newRow("open: mode 0") << "mode0.txt" << false << "saveable mode";
        QTest::newRow("open: name as typed") << "run" << false << "No such file";
        QTest::newRow("open: far too large") << "huge.txt" << false << "too large";
        QTest::newRow("save: directory part") << "sub/run" << true << "directory part";
        QTest::newRow("save: control character") << "run\x01" << true << "control character";
    }
    void refusalLeavesEverything()
    {
        QFETCH(QString, name);
        QFETCH(bool, saving);
        QFETCH(QString, reason);
        // Data files a name wrongly taken would reach.
        QVERIFY(QDir(h->dir.path()).mkdir("sub"));
        QVERIFY(writeFile(path("run.txt"), testData("expected", Store)) &&
                writeFile(path("sub/run.txt"), testData("expected", Store)) &&
                writeFile(path("letter.txt"), "Dear customer,\r\nthe burner\r\n") &&
                writeFile(path("mode0.txt"), "\"0\"\r\n\"2.05\"\r\n"));
        if (name == "huge.txt") { // a logger page's mode line, then 100 MB (sparse) of nothing
            QFile huge(path(name));
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("\"2\"\r\n") == 5 &&
                    huge.resize(100 * 1024 * 1024));
        }
        const QStringList before = tree(h->dir.path());
        download(Tightness);
        const QByteArray tables = DataFile::serialize(h->model());
        frmSave *d = menu(saving ? "mnuSave" : "mnuOpen");
        text1(d)->setText(name);
        click(d, saving ? "scOk" : "scOKopen");
        QVERIFY(nameIn(d).startsWith(name));
        QCOMPARE(h->messages.count(), 1);
        const QString text = h->messages.lines().first();
        QVERIFY2(text.startsWith(saving ? "File Save: " : "File Open: ") && text.contains(name) &&
                     text.contains(reason),
                 qPrintable(text));
        QCOMPARE(DataFile::serialize(h->model()), tables);
        QCOMPARE(tree(h->dir.path()), before);
    }

    void browser()
    {
        for (const char *name : {"b.txt", "A.TXT", "c.dat", "mytxt"})
            QVERIFY(writeFile(path(name), "x"));
        QVERIFY(QDir(h->dir.path()).mkdir("sub") && writeFile(path("sub/in sub.txt"), "x"));
        download(Store);
        frmSave *d = menu("mnuSave");
        type(d, QStringLiteral("typed"));
        click(d, "SSCommand1");
        frmBrowser *b = top<frmBrowser>();
        QVERIFY(b);
        QCOMPARE(texts(b, "File1"), QStringList{"b.txt"}); // "*.txt" as typed: case counts
        QCOMPARE(texts(b, "Dir1"), (QStringList{"..", "sub"}));
        // Enter on a directory goes into it rather than pressing "OK".
        b->findChild<QListWidget *>("Dir1")->setCurrentRow(1);
        QTest::keyClick(b->findChild<QListWidget *>("Dir1"), Qt::Key_Return);
        QCOMPARE(texts(b, "File1"), QStringList{"in sub.txt"});
        doubleClick(b, "Dir1", "..");
        QCOMPARE(clean(b->directory()), clean(h->dir.path()));
        // The home directory is one of the places in the drive list. Each place keeps its
        // current directory: coming back to one shows the directory last used on it.
        doubleClick(b, "Dir1", "sub");
        auto *drives = b->findChild<QComboBox *>("Drive1");
        drives->setCurrentIndex(drives->findData(QDir::cleanPath(QDir::homePath())));
        QCOMPARE(clean(b->directory()), clean(QDir::homePath()));
        drives->setCurrentIndex(drives->findData(QDir::cleanPath(QDir::currentPath())));
        QCOMPARE(clean(b->directory()), clean(h->dir.filePath("sub")));
        QCOMPARE(texts(b, "File1"), QStringList{"in sub.txt"});

        // Cancel ends the browser, leaving the name; the next starts in the working directory.
        click(b, "SSCommand2");
        QCOMPARE(nameIn(d), QStringLiteral("typed"));
        click(d, "SSCommand1");
        b = top<frmBrowser>();
        QCOMPARE(clean(b->directory()), clean(h->dir.path()));

        // Enter on the file list, or a double-click on a file, takes its name; the browser
        // waits hidden where it was.
        b->findChild<QListWidget *>("File1")->setCurrentRow(0);
        QTest::keyClick(b->findChild<QListWidget *>("File1"), Qt::Key_Return);
        QCOMPARE(nameIn(d), QStringLiteral("b.txt"));
        click(d, "SSCommand1");
        doubleClick(b, "Dir1", "sub");
        doubleClick(b, "File1", "in sub.txt");
        QCOMPARE(nameIn(d), QStringLiteral("in sub.txt"));
        QVERIFY(d->findChild<QLabel *>("labDirectory")->text().endsWith("sub"));
        click(d, "SSCommand3"); // the dialog's Cancel: no directory entered
        QCOMPARE(clean(QDir::currentPath()), clean(h->dir.path()));

        // Save OK writes into the browsed directory and makes it the working directory.
        d = menu("mnuSave");
        type(d, QStringLiteral("run"));
        click(d, "scOk");
        QVERIFY(!top());
        QCOMPARE(readFile(path("sub/run.txt")), testData("expected", Store));
        QVERIFY(!QFile::exists(path("run.txt")));
        QCOMPARE(clean(QDir::currentPath()), clean(path("sub")));
        click(menu("mnuOpen"), "SSCommand1");
        QCOMPARE(texts(top<frmBrowser>(), "File1"), (QStringList{"in sub.txt", "run.txt"}));
    }

    void recentFiles()
    {
        download(Store);
        for (const char *name : {"a", "b", "c", "d", "e"})
            fileAs("mnuSave", QString::fromLatin1(name));
        fileAs("mnuOpen", QStringLiteral("b.txt"));
        download(Tightness);
        fileAs("mnuSave", QStringLiteral("t&t"));
        QVERIFY(h->action("mnuRecent4") && !h->action("mnuRecent5")); // 4 at most
        // A new run of the program, started elsewhere, lists them below the File menu's own.
        QVERIFY(QDir::setCurrent(h->userSettings.path()));
        h->start();
        QVERIFY(!tree(h->userSettings.path()).isEmpty()); // kept in the user's settings
        const QList<QAction *> actions = h->find<QMenu>("mnuFile")->actions();
        QStringList shown;
        for (QAction *a : actions.mid(actions.indexOf(h->action("mnuExit")) + 1))
            shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        const QString dir = h->dir.path();
        QCOMPARE(shown, (QStringList{"-", "&1 " + dir + "/t&&t.txt", "&2 " + dir + "/b.txt",
                                     "&3 " + dir + "/e.txt", "&4 " + dir + "/d.txt"}));
        download(Store);
        h->action("mnuRecent1")->trigger();
        QCOMPARE(h->model().CurrentMode, qint16(Tightness));
        QCOMPARE(clean(QDir::currentPath()), clean(h->dir.path()));
        QCOMPARE(h->messages.count(), 0);

        // A file gone since is reported by name, and the tables stay.
        QVERIFY(QFile::remove(path("e.txt")));
        h->action("mnuRecent3")->trigger();
        QCOMPARE(h->messages.count(), 1);
        QVERIFY(h->messages.lines().first().contains(path("e.txt")));
        QCOMPARE(h->model().CurrentMode, qint16(Tightness));
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
