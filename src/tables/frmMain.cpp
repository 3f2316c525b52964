#include "tables/frmMain.h"

#include "charts/frmChart.h"

#include "app/Program.h"
#include "archive/frmArchive.h"
#include "export/ExportMenu.h"
#include "export/ReportHeader.h"
#include "files/FileMenu.h"
#include "link/frmComm.h"
#include "link/frmHeader.h"
#include "link/frmSplash.h"
#include "tables/GridView.h"
#include "tables/GrowingLayout.h"
#include "tables/MainMenus.h"
#include "tables/ReceiveLamp.h"
#include "trend/TrendPanel.h"

#include <QAction>
#include <QApplication>
#include <QFocusFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {
struct ModeEntry {
    const char *name;
    int code;
};

const ModeEntry kModeEntries[] = {
    {"mnuReal", 0}, {"mnuStore", 1}, {"mnuL0", 2},   {"mnuL1", 3},
    {"mnuL2", 4},   {"mnuL3", 5},    {"mnuSL0", 6},  {"mnuSL1", 7},
    {"mnuSL2", 8},  {"mnuSL3", 9},   {"mnuSL4", 10}, {"mnuTightness", 11},
};
} // namespace

frmMain::frmMain(Program &program, QWidget *parent)
    : QMainWindow(parent), m_program(program), m_controls(program.model)
{
    setObjectName(QStringLiteral("frmMain"));
    m_menus = std::make_unique<MainMenus>(menuBar(), program.model, m_views);
    m_files = new FileMenu(program.model, program.messages,
                           m_menus->action(QStringLiteral("mnuFile"))->menu(), this);
    // Exports come after the documented menus, in a menu of their own.
    new ExportMenu(menuBar(), program.model, program.messages, this);
    ReportHeader::rememberConfirmedLines(program.header);
    buildClientArea();
    bindElements();
    connectCommands();
    connectModeSwitches();
    addArchiveMenu();
    // The progress window is a window of its own, owned here.
    m_splash = std::make_unique<frmSplash>(program.model, this, &program.transfer.progress());

    connect(&program.model, &ScreenModel::changed, this, &frmMain::render);
    render();
    resize(m_client->width(), m_client->height() + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::buildClientArea()
{
    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("clientArea"));
    const QSize design(MainLayout::pixels(MainLayout::kClientWidth),
                       MainLayout::pixels(MainLayout::kClientHeight));
    m_client->setMinimumSize(design);
    m_client->resize(design);
    m_client->setAutoFillBackground(true);
    m_controls.build(m_client, MainLayout::client());
    m_controls.build(m_controls.control(QStringLiteral("FrameReal")), MainLayout::frameReal());
    TrendPanel::fillFrame(m_controls.control(QStringLiteral("Frame1")), m_program);
    m_controls.build(m_controls.control(QStringLiteral("FrameStore")), MainLayout::frameStore());
    m_controls.build(m_controls.control(QStringLiteral("FrameSL")), MainLayout::frameSL());
    m_hscroll = qobject_cast<QScrollBar *>(m_controls.control(QStringLiteral("HScroll1")));
    m_lamp = qobject_cast<ReceiveLamp *>(m_controls.control(QStringLiteral("Shape1")));
    m_records = qobject_cast<GridView *>(m_controls.control(QStringLiteral("MSFlexGrid1")));
    // A record is a row: the browsed one shows as a whole highlighted row.
    m_records->setSelectionBehavior(QAbstractItemView::SelectRows);
    addFocusRing();
    // More room goes to the frames and what shows most data: the tables and the live trend.
    std::vector<QWidget *> grown;
    for (const char *name : {"FrameReal", "FrameSL", "FrameStore", "Frame1", "MSFlexGrid1",
                             "MSFlexGrid2", "MSFlexGrid3"})
        grown.push_back(m_controls.control(QString::fromLatin1(name)));
    new GrowingLayout(m_client, grown);

    // Text8 holds what arrived from the port until the reception pass takes it; never shown.
    m_text8 = new QPlainTextEdit(m_client);
    m_text8->setObjectName(QStringLiteral("Text8"));
    m_text8->setReadOnly(true);
    m_text8->hide();

    // The design is a fixed layout: a smaller window scrolls it, a larger one grows its frames.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("clientScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_client);
    setCentralWidget(m_scroll);
}

void frmMain::bindElements()
{
    ScreenModel &m = m_program.model;
    for (const QString &name : ScreenModel::elementNames()) {
        if (QWidget *w = m_controls.control(name)) m_views.bind(*m.element(name), w);
    }
}

void frmMain::connectCommands()
{
    auto onClick = [this](const char *name, void (frmMain::*slot)()) {
        auto *button = qobject_cast<QPushButton *>(m_controls.control(QString::fromLatin1(name)));
        connect(button, &QPushButton::clicked, this, slot);
    };
    onClick("cmdStart", &frmMain::startStop);
    onClick("cmdChart", &frmMain::chart);
    onClick("cmdHeader", &frmMain::header);

    auto onMenu = [this](const char *name, void (frmMain::*slot)()) {
        connect(m_menus->action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    onMenu("mnuOpen", &frmMain::fileOpen);
    onMenu("mnuSave", &frmMain::fileSave);
    onMenu("mnuPrint", &frmMain::print);
    onMenu("mnuPrintSetup", &frmMain::printSetup);
    onMenu("mnuExit", &frmMain::exitProgram);
    onMenu("mnuSet", &frmMain::communicationSetup);

    connect(m_hscroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_rendering) m_program.commands.browse(value);
    });
    // A click on a record, or the arrow keys in the table, browse to it as the scroll bar does.
    connect(m_records->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_rendering && current.isValid()) m_program.commands.browse(current.row());
            });
}

void frmMain::connectModeSwitches()
{
    for (const ModeEntry &entry : kModeEntries) {
        const int code = entry.code;
        connect(m_menus->action(QString::fromLatin1(entry.name)), &QAction::triggered, this,
                [this, code] { m_program.modes.switchTo(code); });
    }
}

void frmMain::render()
{
    if (m_rendering) return;
    m_rendering = true;
    const ScreenModel &m = m_program.model;
    setWindowTitle(m.frmMain.caption);
    // Only the main window's own menus and controls stop taking input while the progress
    // window is up: the windows it owns (header window, file dialogs) stay usable and keep the
    // keyboard focus. First, since enabling the menu bar re-enables every menu, which the
    // elements then correct.
    menuBar()->setEnabled(m.frmMain.enabled);
    m_scroll->setEnabled(m.frmMain.enabled);
    m_views.render();
    for (GridView *grid : m_controls.grids())
        grid->render();
    renderScrollBar();
    m_lamp->setFill(m.Shape1Fill);
    renderReceiveBuffer();
    m_splash->sync();
    m_rendering = false;
}

void frmMain::renderScrollBar()
{
    const ScreenModel &m = m_program.model;
    m_hscroll->setRange(0, m.HScroll1Max);
    m_hscroll->setValue(m.HScroll1Value);
    // The browsed record is the record table's current row, wherever browsing came from.
    const QModelIndex current = m_records->currentIndex();
    const QModelIndex browsed =
        m_records->model()->index(m.HScroll1Value, current.isValid() ? current.column() : 0);
    if (browsed.isValid() && current.row() != browsed.row()) m_records->setCurrentIndex(browsed);
}

// Qt's own styles draw no focus on a scroll bar and only a faint one on a table: a ring in the
// highlight colour goes round whichever control of the window has the keyboard.
void frmMain::addFocusRing()
{
    auto *ring = new QFocusFrame(m_client);
    ring->setObjectName(QStringLiteral("focusRing"));
    QPalette palette = ring->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    ring->setPalette(palette);
    connect(qApp, &QApplication::focusChanged, ring, [this, ring](QWidget *, QWidget *now) {
        ring->setWidget(now && m_client->isAncestorOf(now) ? now : nullptr);
    });
}

void frmMain::renderReceiveBuffer()
{
    const QByteArray &buffer = m_program.model.ReceiveBuffer;
    if (buffer == m_shownBuffer) return;
    m_shownBuffer = buffer;
    m_text8->setPlainText(QString::fromLatin1(buffer));
}

void frmMain::startStop()
{
    m_program.transfer.startStop();
}

void frmMain::chart()
{
    if (m_program.commands.chart()) openChartWindow();
}

void frmMain::header()
{
    openHeaderWindow();
}

void frmMain::communicationSetup()
{
    m_program.comm.prepareSetup();
    frmComm dialog(m_program.comm.currentChoice(), *m_program.portDiscovery, m_program.makeTestPort,
                   this);
    if (dialog.exec() == QDialog::Accepted) m_program.comm.accept(dialog.choice());
    activateWindow();
    raise();
}

void frmMain::print()
{
    m_printer.print(m_client->grab(), this);
}

void frmMain::printSetup()
{
    m_printer.setup(this);
}

void frmMain::exitProgram()
{
    m_program.commands.exit();
    close();
}

// The save and open dialogs are windows of the data-file work; the menu entries reach them
// from here.
void frmMain::fileOpen()
{
    m_files->open();
}

void frmMain::fileSave()
{
    m_files->save();
}

// The chart window opens modally from here for modes 2 to 11.
// Modal: the tables cannot change while a chart of them is shown.
void frmMain::openChartWindow()
{
    frmChart chart(m_program.model, m_printer, this);
    chart.exec();
}

// The archive has a menu of its own after the documented ones; every file saved or opened
// is archived as well.
void frmMain::addArchiveMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("&Archive"));
    menu->setObjectName(QStringLiteral("mnuArchive"));
    QAction *browse = menu->addAction(QStringLiteral("&Browse Archive..."));
    browse->setObjectName(QStringLiteral("mnuArchiveBrowse"));
    browse->setMenuRole(QAction::NoRole);
    connect(browse, &QAction::triggered, this, &frmMain::openArchiveWindow);
    m_files->files().fileKept = [this](const QString &path) { m_program.archiver.fileKept(path); };
}

void frmMain::openArchiveWindow()
{
    if (!m_archive) m_archive = new frmArchive(m_program.archiver, m_program.messages, this);
    m_archive->refresh();
    m_archive->show();
    m_archive->raise();
    m_archive->activateWindow();
}

// The instrument is told to be quiet before the printout header window opens over this one.
void frmMain::openHeaderWindow()
{
    m_program.header.headerButton();
    frmHeader window(m_program.header, this);
    window.exec();
}
