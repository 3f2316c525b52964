#include "FileFixture.h"
#include "files/DataFile.h"
#include "files/RecentFiles.h"
#include "tables/Modes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>

namespace {
QStringList texts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QListWidgetItem *item(QWidget *browser, const char *list, const QString &text)
{
    const QList<QListWidgetItem *> found =
        child<QListWidget>(browser, list)->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void doubleClick(QWidget *browser, const char *list, const QString &text)
{
    QListWidget *view = child<QListWidget>(browser, list);
    QListWidgetItem *it = item(browser, list, text);
    QVERIFY2(it, qPrintable(text));
    const QPoint at = view->visualItemRect(it).center();
    // A double click arrives after the press and release of its first click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

QString clean(const QString &path)
{
    return QDir::cleanPath(QDir(path).canonicalPath());
}
} // namespace

class TestBrowser : public FileTestBase {
    Q_OBJECT
private slots:
    void listsDataFilesOnly();
    void browserCloses_data();
    void browserCloses();
    void savesWhereBrowsed();
    void dialogCancelKeepsWorkingDirectory();
    void vanishedDirectoryReported();
    void driveListOffersRootsHomeAndCurrent();
    void keyboard();
    void recentFiles();
    void recentFilesInUserSettings();
};

void TestBrowser::listsDataFilesOnly()
{
    for (const char *name : {"b.txt", "A.TXT", "c.dat", "notes.txt", "mytxt"})
        QVERIFY(writeFile(path(name), "x"));
    QVERIFY(QDir(m_dir->path()).mkpath("sub/deeper"));
    QVERIFY(writeFile(path("sub/in sub.txt"), "x"));
    FileFixture f;
    f.download(Store);
    FileFixture::click(f.save(), "SSCommand1");
    frmBrowser *b = FileFixture::browser();
    QVERIFY(b);
    QCOMPARE(b->windowTitle(), QStringLiteral("File Browser"));
    QCOMPARE(child<QGroupBox>(b, "SSFrame1")->title(), QStringLiteral("File Browser"));
    QCOMPARE(texts(child<QListWidget>(b, "File1")), (QStringList{"b.txt", "notes.txt"}));
    QCOMPARE(texts(child<QListWidget>(b, "Dir1")), (QStringList{"..", "sub"}));
    doubleClick(b, "Dir1", "sub");
    QCOMPARE(texts(child<QListWidget>(b, "File1")), QStringList{"in sub.txt"});
    QCOMPARE(texts(child<QListWidget>(b, "Dir1")), (QStringList{"..", "deeper"}));
    QCOMPARE(clean(b->directory()), clean(path("sub")));
    doubleClick(b, "Dir1", "..");
    QCOMPARE(clean(b->directory()), clean(m_dir->path()));
}

void TestBrowser::browserCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<bool>("survives");
    QTest::newRow("OK with a file picked") << "ok"
                                           << "b.txt" << true;
    QTest::newRow("OK with none picked") << "ok none"
                                         << "typed" << true;
    QTest::newRow("double-click") << "double"
                                  << "b.txt" << true;
    QTest::newRow("Cancel") << "cancel"
                            << "typed" << false;
    QTest::newRow("close box") << "close"
                               << "typed" << false;
}

void TestBrowser::browserCloses()
{
    QFETCH(QString, how);
    QFETCH(QString, text1);
    QFETCH(bool, survives);
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    QVERIFY(writeFile(path("sub/b.txt"), "x"));
    FileFixture f;
    f.download(Store);
    frmSave *d = f.save();
    FileFixture::type(d, QStringLiteral("typed"));
    FileFixture::click(d, "SSCommand1");
    QPointer<frmBrowser> b = FileFixture::browser();
    QVERIFY(b);
    doubleClick(b, "Dir1", "sub");
    if (how != "ok none") child<QListWidget>(b, "File1")->setCurrentItem(item(b, "File1", "b.txt"));
    if (how == "ok" || how == "ok none") FileFixture::click(b, "SSCommand1");
    if (how == "double") doubleClick(b, "File1", "b.txt");
    if (how == "cancel") FileFixture::click(b, "SSCommand2");
    if (how == "close") b->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(FileFixture::dialog(), d);
    QCOMPARE(FileFixture::text1(d), text1);
    QCOMPARE(!b.isNull(), survives);
    if (b) QVERIFY(!b->isVisible());

    // The next "Browser" shows the surviving browser as it was, or a fresh one.
    FileFixture::click(d, "SSCommand1");
    frmBrowser *again = FileFixture::browser();
    QVERIFY(again);
    QCOMPARE(again == b.data(), survives);
    QCOMPARE(clean(again->directory()), clean(survives ? path("sub") : m_dir->path()));
}

void TestBrowser::savesWhereBrowsed()
{
    QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
    FileFixture f;
    f.download(SingleLoggerPage1);
    frmSave *d = f.save();
    FileFixture::click(d, "SSCommand1");
    doubleClick(FileFixture::browser(), "Dir1", "elsewhere");
    FileFixture::click(FileFixture::browser(), "SSCommand1");
    QVERIFY(child<QLabel>(d, "labDirectory")->text().endsWith("elsewhere"));
    FileFixture::type(d, QStringLiteral("run"));
    FileFixture::click(d, "scOk");
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(readAll(path("elsewhere/run.txt")), DataFile::serialize(f.m));
    QVERIFY(!QFile::exists(path("run.txt")));
    QCOMPARE(clean(QDir::currentPath()), clean(path("elsewhere")));

    // Save OK ended the browser: the next one starts afresh, in the new working directory.
    FileFixture::click(f.open(), "SSCommand1");
    QCOMPARE(clean(FileFixture::browser()->directory()), clean(path("elsewhere")));
    QCOMPARE(texts(child<QListWidget>(FileFixture::browser(), "File1")), QStringList{"run.txt"});
}

void TestBrowser::dialogCancelKeepsWorkingDirectory()
{
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    FileFixture f;
    f.download(Store);
    frmSave *d = f.save();
    FileFixture::click(d, "SSCommand1");
    doubleClick(FileFixture::browser(), "Dir1", "sub");
    FileFixture::click(FileFixture::browser(), "SSCommand1");
    FileFixture::type(d, QStringLiteral("run"));
    FileFixture::click(d, "SSCommand3");
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(clean(QDir::currentPath()), clean(m_dir->path()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(path("sub")).entryList(QDir::Files), QStringList());
}

void TestBrowser::vanishedDirectoryReported()
{
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    FileFixture f;
    f.download(Store);
    f.messages.clear();
    frmSave *d = f.save();
    FileFixture::click(d, "SSCommand1");
    doubleClick(FileFixture::browser(), "Dir1", "sub");
    FileFixture::click(FileFixture::browser(), "SSCommand1");
    QVERIFY(QDir(path("sub")).removeRecursively());
    FileFixture::type(d, QStringLiteral("run"));
    FileFixture::click(d, "scOk");
    QCOMPARE(FileFixture::dialog(), d);
    QCOMPARE(f.messages.count(), 1);
    QVERIFY2(f.messages.boxes().first().text.contains(path("sub")),
             qPrintable(f.messages.boxes().first().text));
    // Shown again, the browser stands in the nearest directory still there.
    FileFixture::click(d, "SSCommand1");
    QCOMPARE(clean(FileFixture::browser()->directory()), clean(m_dir->path()));
}

void TestBrowser::driveListOffersRootsHomeAndCurrent()
{
    FileFixture f;
    f.download(Store);
    FileFixture::click(f.open(), "SSCommand1");
    frmBrowser *b = FileFixture::browser();
    QComboBox *drives = child<QComboBox>(b, "Drive1");
    QStringList places;
    for (int i = 0; i < drives->count(); ++i)
        places << drives->itemData(i).toString();
    for (const QFileInfo &root : QDir::drives())
        QVERIFY(places.contains(QDir::cleanPath(root.absoluteFilePath())));
    QVERIFY(places.contains(QDir::cleanPath(QDir::homePath())));
    QCOMPARE(drives->currentData().toString(), QDir::cleanPath(m_dir->path()));

    drives->setCurrentIndex(places.indexOf(QDir::cleanPath(QDir::homePath())));
    QCOMPARE(clean(b->directory()), clean(QDir::homePath()));
    drives->setCurrentIndex(0);
    QCOMPARE(clean(b->directory()), clean(places.first()));
}

void TestBrowser::keyboard()
{
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    QVERIFY(writeFile(path("sub/b.txt"), "x"));
    FileFixture f;
    f.download(Store);
    frmSave *d = f.save();
    QLineEdit *text1 = child<QLineEdit>(d, "Text1");
    QCOMPARE(d->focusWidget(), text1);

    FileFixture::click(d, "SSCommand1");
    frmBrowser *b = FileFixture::browser();
    QListWidget *dirs = child<QListWidget>(b, "Dir1");
    dirs->setFocus();
    dirs->setCurrentItem(item(b, "Dir1", "sub"));
    QTest::keyClick(dirs, Qt::Key_Return); // goes into "sub", the browser stays
    QCOMPARE(FileFixture::browser(), b);
    QCOMPARE(clean(b->directory()), clean(path("sub")));
    QListWidget *files = child<QListWidget>(b, "File1");
    files->setFocus();
    files->setCurrentItem(files->item(0));
    QTest::keyClick(files, Qt::Key_Return); // the browser's OK
    QCOMPARE(FileFixture::dialog(), d);
    QCOMPARE(text1->text(), QStringLiteral("b.txt"));

    QTest::keyClick(text1, Qt::Key_Return); // Save OK
    QVERIFY(!FileFixture::dialog());
    QCOMPARE(readAll(path("sub/b.txt")), DataFile::serialize(f.m));

    frmSave *o = f.open();
    QTest::keyClicks(child<QLineEdit>(o, "Text1"), QStringLiteral("b.txt"));
    QTest::keyClick(child<QLineEdit>(o, "Text1"), Qt::Key_Escape);
    QVERIFY(!FileFixture::dialog());
}

void TestBrowser::recentFiles()
{
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    {
        FileFixture f;
        f.download(Store);
        for (const char *name : {"a", "b", "c", "d", "e"})
            f.saveAs(QString::fromLatin1(name));
        frmSave *d = f.open();
        FileFixture::type(d, QStringLiteral("b.txt"));
        FileFixture::click(d, "scOKopen");
        f.download(Tightness);
        FileFixture::click(f.save(), "SSCommand1");
        doubleClick(FileFixture::browser(), "Dir1", "sub");
        FileFixture::click(FileFixture::browser(), "SSCommand1");
        FileFixture::type(FileFixture::dialog(), QStringLiteral("t&t"));
        FileFixture::click(FileFixture::dialog(), "scOk");
    }
    // A new run of the program, started somewhere else.
    QVERIFY(QDir::setCurrent(m_settingsDir->path()));
    FileFixture g;
    QStringList menu;
    for (QAction *a : g.fileMenu->actions())
        if (a->objectName().startsWith("mnuRecent")) menu << a->text();
    const QString dir = QDir::toNativeSeparators(m_dir->path());
    QCOMPARE(menu, (QStringList{"&1 " + dir + "/sub/t&&t.txt", "&2 " + dir + "/b.txt",
                                "&3 " + dir + "/e.txt", "&4 " + dir + "/d.txt"}));
    // Below the menu's own entries, after a separator.
    const QList<QAction *> actions = g.fileMenu->actions();
    QCOMPARE(actions.indexOf(g.find<QAction>("mnuExit")) + 1,
             actions.indexOf(g.fileMenu->findChild<QAction *>("SeparatorRecent")));
    g.download(Store);
    g.fileMenu->findChild<QAction *>("mnuRecent1")->trigger();
    QCOMPARE(g.m.CurrentMode, qint16(Tightness));
    QCOMPARE(clean(QDir::currentPath()), clean(path("sub")));
    QCOMPARE(g.messages.count(), 0);

    // A file gone since is reported by name; nothing changes.
    QVERIFY(QFile::remove(path("e.txt")));
    g.fileMenu->findChild<QAction *>("mnuRecent3")->trigger();
    QCOMPARE(g.messages.count(), 1);
    QVERIFY(g.messages.boxes().first().text.contains(path("e.txt")));
    QCOMPARE(g.m.CurrentMode, qint16(Tightness));
    QCOMPARE(clean(QDir::currentPath()), clean(m_dir->path()));
}

void TestBrowser::recentFilesInUserSettings()
{
    // The list lives in the user's settings, not beside the data files.
    RecentFiles().add(path("x.txt"));
    QCOMPARE(RecentFiles().files(), QStringList{path("x.txt")});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, "NRV508", "nrv508");
    QVERIFY2(user.fileName().startsWith(m_settingsDir->path()), qPrintable(user.fileName()));
    QVERIFY(QFile::exists(user.fileName()));
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
