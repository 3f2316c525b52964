#include "charts/frmChart.h"

#include "charts/ChartCanvas.h"
#include "charts/ChartImage.h"
#include "charts/ChartImageDialog.h"
#include "charts/ChartPages.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartStatsPanel.h"
#include "tables/WindowPrinter.h"

#include <QActionGroup>
#include <QChart>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

frmChart::frmChart(ScreenModel &model, WindowPrinter &printer, QWidget *parent)
    : frmChart(model, nullptr, printer, parent)
{
}

frmChart::frmChart(std::unique_ptr<ChartPages> pages, WindowPrinter &printer, QWidget *parent)
    : frmChart(pages->first(), std::move(pages), printer, parent)
{
}

// The pages are taken by reference, so that the screen of the first is read before they move.
frmChart::frmChart(ScreenModel &model, std::unique_ptr<ChartPages> &&pages, WindowPrinter &printer,
                   QWidget *parent)
    : QDialog(parent), m_model(model), m_pages(std::move(pages)), m_printer(printer),
      m_commands(model, m_state)
{
    setObjectName(QStringLiteral("frmChart"));
    setSizeGripEnabled(false);
    buildMenus();
    buildToolsMenu();
    buildChart();
    buildStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_scrollBar);
    layout->addWidget(m_stats);
    layout->addWidget(m_statusBar);
    resize(820, 640);

    connect(&m_state, &ChartState::changed, this, &frmChart::render);
    m_commands.load();
    if (m_pages) {
        m_state.setPanelText(QStringLiteral("Page"), m_pages->pageText());
        m_state.notify();
    }
    m_canvas->setFocus();
}

frmChart::~frmChart() = default;

QMenu *frmChart::addMenu(const char *name, const Element &element)
{
    QMenu *menu = m_menuBar->addMenu(element.caption);
    menu->setObjectName(QLatin1String(name));
    m_menus.insert(QLatin1String(name), menu);
    return menu;
}

QAction *frmChart::addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    m_actions.insert(QLatin1String(name), action);
    return action;
}

void frmChart::buildMenus()
{
    m_menuBar = new QMenuBar(this);
    QMenu *logger = addMenu("mnuLogger", m_state.mnuLogger);
    QMenu *single = addMenu("mnuSLogger", m_state.mnuSLogger);
    for (const ChartQuantityInfo &q : chartQuantities()) {
        QAction *item = addItem(q.singleLogger ? single : logger, q.menu, q.caption);
        connect(item, &QAction::triggered, this, [this, &q] { choose(q); });
    }
    QMenu *print = addMenu("mnuPrint", m_state.mnuPrint);
    QAction *start = addItem(print, "mnuPrintGo", QStringLiteral("Start"));
    start->setShortcut(QKeySequence::Print);
    connect(start, &QAction::triggered, this, &frmChart::print);
    QMenu *view = addMenu("mnuView", m_state.mnuView);
    connect(addItem(view, "mnuScroll", m_state.mnuScroll.caption), &QAction::triggered, this,
            [this] { m_viewport.reset(), m_commands.scrollView(); });
    connect(addItem(view, "mnuFull", m_state.mnuFull.caption), &QAction::triggered, this,
            [this] { m_viewport.reset(), m_commands.fullView(); });
    // "   Exit   " is a command in the menu bar itself, with no items under it.
    QAction *exit = m_menuBar->addAction(m_state.mnuExit.caption);
    exit->setObjectName(QStringLiteral("mnuExit"));
    m_actions.insert(QStringLiteral("mnuExit"), exit);
    connect(exit, &QAction::triggered, this, &QDialog::close);
}

void frmChart::buildToolsMenu()
{
    QMenu *tools = m_menuBar->addMenu(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("mnuChartTools"));
    QAction *in = addItem(tools, "mnuZoomIn", QStringLiteral("Zoom In"));
    in->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    connect(in, &QAction::triggered, this, [this] { zoomBy(ChartCanvas::kZoomStep); });
    QAction *out = addItem(tools, "mnuZoomOut", QStringLiteral("Zoom Out"));
    out->setShortcut(QKeySequence(Qt::Key_Minus));
    connect(out, &QAction::triggered, this, [this] { zoomBy(1.0 / ChartCanvas::kZoomStep); });
    QAction *reset = addItem(tools, "mnuZoomReset", QStringLiteral("Reset"));
    reset->setShortcut(QKeySequence(Qt::Key_Home));
    connect(reset, &QAction::triggered, this, &frmChart::resetView);
    tools->addSeparator();

    QMenu *overlay = tools->addMenu(QStringLiteral("Overlay"));
    overlay->setObjectName(QStringLiteral("mnuOverlay"));
    m_overlayItems = new QActionGroup(this);
    QAction *none = addItem(overlay, "mnuOverlayNone", QStringLiteral("None"));
    connect(none, &QAction::triggered, this, [this] { setOverlay(nullptr); });
    m_overlayItems->addAction(none)->setCheckable(true);
    none->setChecked(true);
    for (const ChartQuantityInfo &q : chartQuantities()) {
        QAction *item = addItem(overlay, "mnuOverlay" + QByteArray(q.caption), q.caption);
        m_overlayItems->addAction(item)->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, &q] { setOverlay(&q); });
    }
    QAction *stats = addItem(tools, "mnuStatistics", QStringLiteral("Statistics"));
    stats->setCheckable(true);
    stats->setChecked(true);
    connect(stats, &QAction::toggled, this, [this](bool on) { m_stats->setVisible(on); });
    tools->addSeparator();
    connect(addItem(tools, "mnuChartFiles", QStringLiteral("Chart Data Files...")),
            &QAction::triggered, this, &frmChart::chartFiles);
    QAction *image = addItem(tools, "mnuSaveImage", QStringLiteral("Save Image..."));
    image->setShortcut(QKeySequence::Save);
    connect(image, &QAction::triggered, this, &frmChart::askImage);
}

void frmChart::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(true);
    for (const ChartState::Panel &panel : m_state.panels()) {
        auto *label = new QLabel(panel.text, m_statusBar);
        label->setObjectName(panel.key);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(120);
        const bool title = panel.key == QLatin1String("MeasureTitle");
        m_statusBar->addWidget(label, title ? 2 : 1);
        m_panels.insert(panel.key, label);
    }
}

void frmChart::buildChart()
{
    m_scene = std::make_unique<ChartScene>();
    m_canvas = new ChartCanvas(*m_scene, m_viewport, this);
    m_canvas->setObjectName(QStringLiteral("ChartFX1"));
    m_canvas->setRenderHint(QPainter::Antialiasing);
    connect(m_canvas, &ChartCanvas::viewChanged, this, &frmChart::renderView);
    connect(m_canvas, &ChartCanvas::resetRequested, this, &frmChart::resetView);
    // Scrolling moves the X axis under a fixed plot, so the Y axis and both titles stay in sight.
    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName(QStringLiteral("chartScroll"));
    m_scrollBar->setFocusPolicy(Qt::StrongFocus);
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &frmChart::renderView);
    connect(m_scene->chart(), &QChart::plotAreaChanged, this, &frmChart::renderView);
    m_stats = new ChartStatsPanel(this);
}

void frmChart::choose(const ChartQuantityInfo &quantity)
{
    // Pages that cannot share an axis are refused before anything changes.
    std::optional<ChartSeries> series = seriesOf(quantity);
    if (!series) return;
    m_commands.chooseQuantity(quantity);
    if (m_pages) ChartPages::apply(*series, m_state);
    m_series = std::move(series);
    m_extras.name = QStringLiteral("%1 (%2)").arg(m_series->quantity, m_series->unit);
    m_extras.pages = m_series->pages;
    if (m_overlayQuantity) m_extras.overlay = seriesOf(*m_overlayQuantity);
    m_canvas->setSeries(&*m_series, m_extras.overlay ? &*m_extras.overlay : nullptr);
    // The records in sight stay in sight; the vertical range is the new quantity's.
    renderView();
    m_viewport.resetVertical();
    renderView();
}

std::optional<ChartSeries> frmChart::seriesOf(const ChartQuantityInfo &quantity)
{
    if (!m_pages) return ChartSeries::ofPage(m_model, quantity);
    QString error;
    std::optional<ChartSeries> series = m_pages->series(quantity, &error);
    if (!series) QMessageBox::warning(this, QStringLiteral("Chart"), error);
    return series;
}

bool frmChart::setOverlay(const ChartQuantityInfo *quantity)
{
    if (quantity && !m_commands.isAvailable(*quantity)) return false;
    std::optional<ChartSeries> overlay = quantity ? seriesOf(*quantity) : std::nullopt;
    if (quantity && !overlay) return false;
    m_overlayQuantity = quantity;
    m_extras.overlay = std::move(overlay);
    const QString name = quantity ? "mnuOverlay" + QString::fromLatin1(quantity->caption)
                                  : QStringLiteral("mnuOverlayNone");
    m_actions.value(name)->setChecked(true);
    m_canvas->setSeries(m_series ? &*m_series : nullptr,
                        m_extras.overlay ? &*m_extras.overlay : nullptr);
    renderView();
    return true;
}

void frmChart::render()
{
    setWindowTitle(m_state.frmChart.caption);
    const std::pair<const char *, const Element *> menus[] = {{"mnuLogger", &m_state.mnuLogger},
                                                              {"mnuSLogger", &m_state.mnuSLogger},
                                                              {"mnuPrint", &m_state.mnuPrint},
                                                              {"mnuView", &m_state.mnuView}};
    for (const auto &[name, element] : menus)
        m_menus.value(QLatin1String(name))->menuAction()->setEnabled(element->enabled);
    m_actions.value(QStringLiteral("mnuScroll"))->setEnabled(m_state.mnuScroll.enabled);
    m_actions.value(QStringLiteral("mnuFull"))->setEnabled(m_state.mnuFull.enabled);
    m_actions.value(QStringLiteral("mnuExit"))->setEnabled(m_state.mnuExit.enabled);
    for (const ChartQuantityInfo &q : chartQuantities())
        m_actions.value("mnuOverlay" + QString::fromLatin1(q.caption))
            ->setEnabled(m_commands.isAvailable(q));
    for (const ChartState::Panel &panel : m_state.panels())
        m_panels.value(panel.key)->setText(panel.text);
    renderView();
}

void frmChart::renderView()
{
    // A new X range can move the edge labels and so the plot's width, which calls back here
    // while the range is still being set: the outer call then runs again with the new width.
    // A few rounds settle it; a width that keeps flipping must not loop for ever.
    if (m_inRenderView) {
        m_renderViewAgain = true;
        return;
    }
    m_inRenderView = true;
    for (int round = 0; round < 4; ++round) {
        m_renderViewAgain = false;
        placeView();
        if (!m_renderViewAgain) break;
    }
    m_inRenderView = false;
}

void frmChart::placeView()
{
    // Scroll view keeps the point spacing and shows as many points as the plot has room for;
    // full view fits every point into the window. Either is the home the zoom returns to.
    const ChartState::Range x = m_state.xRange();
    const ChartState::Range y = m_state.yRange();
    const double span = x.max - x.min;
    const double room = m_scene->chart()->plotArea().width() / kScrollPixelsPerPoint;
    // Before the first layout the plot has no width: show everything until it has.
    const bool scrolls = m_state.scrollable && room >= 1.0 && room < span;
    {
        const QSignalBlocker blocker(m_scrollBar);
        m_scrollBar->setRange(0, scrolls ? int(std::ceil(span - room)) : 0);
        m_scrollBar->setPageStep(std::max(1, int(room)));
    }
    m_scrollBar->setVisible(m_state.scrollable);
    // While zoomed, the bar would move a view that is not shown.
    m_scrollBar->setEnabled(!m_viewport.zoomed());
    const double from = x.min + (scrolls ? m_scrollBar->value() : 0);
    m_viewport.setHome({from, scrolls ? from + room : x.max, y.min, y.max});
    m_extras.shown = m_viewport.shown();
    m_extras.zoomed = m_viewport.zoomed();
    m_extras.scrollView = m_state.scrollable;
    m_scene->show(m_state, m_extras);
    const ChartSeries *overlay = m_extras.overlay ? &*m_extras.overlay : nullptr;
    m_stats->showStatistics(m_state.seriesVisible && m_series ? &*m_series : nullptr, overlay,
                            m_extras.shown.x0, m_extras.shown.x1);
}

void frmChart::zoomBy(double factor)
{
    m_viewport.zoomBy(factor);
    renderView();
}

void frmChart::resetView()
{
    m_viewport.reset();
    renderView();
}

QPixmap frmChart::clientImage()
{
    const int top = m_menuBar->geometry().bottom() + 1;
    return grab(QRect(0, top, width(), height() - top));
}

void frmChart::print()
{
    m_printer.print(clientImage(), this);
}

bool frmChart::saveImage(const QString &path, const QSize &size, QString *error)
{
    ChartScene picture;
    picture.show(m_state, m_extras);
    return ChartImage::save(picture, path, size, error);
}

void frmChart::askImage()
{
    QString path;
    QSize size = m_canvas->size();
    if (!ChartImageDialog::ask(this, &path, &size)) return;
    QString error;
    if (!saveImage(path, size, &error))
        QMessageBox::warning(this, QStringLiteral("Save Image"), error);
}

void frmChart::chartFiles()
{
    const QStringList paths =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Chart Data Files"), QString(),
                                      QStringLiteral("Data files (*.txt);;All files (*)"));
    if (paths.isEmpty()) return;
    auto pages = std::make_unique<ChartPages>();
    QString error;
    if (!pages->loadFiles(paths, &error)) {
        QMessageBox::warning(this, QStringLiteral("Chart"), error);
        return;
    }
    frmChart window(std::move(pages), m_printer, this);
    window.exec();
}
