#include "charts/frmChart.h"

#include "charts/ChartQuantities.h"
#include "tables/WindowPrinter.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QScatterSeries>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace {
const QColor kLineColour(0, 70, 160);

// 1, 2 or 5 times a power of ten, at least 1, so that about `ticks` intervals cover the span.
double niceStep(double span, int ticks)
{
    const double raw = span / ticks;
    if (raw <= 1.0) return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / power;
    return (m <= 1.0 ? 1.0 : m <= 2.0 ? 2.0 : m <= 5.0 ? 5.0 : 10.0) * power;
}
} // namespace

frmChart::frmChart(ScreenModel &model, WindowPrinter &printer, QWidget *parent)
    : QDialog(parent), m_printer(printer), m_commands(model, m_state)
{
    setObjectName(QStringLiteral("frmChart"));
    setSizeGripEnabled(false);
    buildMenus();
    buildChart();
    buildStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_scrollBar);
    layout->addWidget(m_statusBar);
    resize(820, 540);

    connect(&m_state, &ChartState::changed, this, &frmChart::render);
    m_commands.load();
}

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
        connect(item, &QAction::triggered, this, [this, &q] { m_commands.chooseQuantity(q); });
    }
    QMenu *print = addMenu("mnuPrint", m_state.mnuPrint);
    QAction *start = addItem(print, "mnuPrintGo", QStringLiteral("Start"));
    start->setShortcut(QKeySequence::Print);
    connect(start, &QAction::triggered, this, &frmChart::print);
    QMenu *view = addMenu("mnuView", m_state.mnuView);
    connect(addItem(view, "mnuScroll", m_state.mnuScroll.caption), &QAction::triggered, this,
            [this] { m_commands.scrollView(); });
    connect(addItem(view, "mnuFull", m_state.mnuFull.caption), &QAction::triggered, this,
            [this] { m_commands.fullView(); });
    // "   Exit   " is a command in the menu bar itself, with no items under it.
    QAction *exit = m_menuBar->addAction(m_state.mnuExit.caption);
    exit->setObjectName(QStringLiteral("mnuExit"));
    m_actions.insert(QStringLiteral("mnuExit"), exit);
    connect(exit, &QAction::triggered, this, &QDialog::close);
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
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setBackgroundRoundness(0);
    m_axisX = new QValueAxis(m_chart);
    m_axisX->setObjectName(QStringLiteral("xAxis"));
    m_axisX->setLabelFormat(QStringLiteral("%g"));
    m_axisX->setTickType(QValueAxis::TicksDynamic);
    m_axisX->setTickAnchor(0);
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setObjectName(QStringLiteral("yAxis"));
    m_axisY->setLabelFormat(QStringLiteral("%g"));
    m_axisY->setTickType(QValueAxis::TicksDynamic);
    m_axisY->setTickAnchor(0);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);

    m_view = new QChartView(m_chart);
    m_view->setObjectName(QStringLiteral("ChartFX1"));
    m_view->setRenderHint(QPainter::Antialiasing);
    // Scrolling moves the X axis under a fixed plot, so the Y axis and both titles stay in sight.
    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName(QStringLiteral("chartScroll"));
    m_scrollBar->setFocusPolicy(Qt::StrongFocus);
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &frmChart::renderView);
    connect(m_chart, &QChart::plotAreaChanged, this, &frmChart::renderView);
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
    for (const ChartState::Panel &panel : m_state.panels())
        m_panels.value(panel.key)->setText(panel.text);
    renderSeries();
    renderAxes();
    renderView();
}

void frmChart::renderSeries()
{
    // The points change only at the close of the value data: redraw the line then alone.
    if (m_drawnRedraws == m_state.redraws() && m_drawnVisible == m_state.seriesVisible) return;
    m_drawnRedraws = m_state.redraws();
    m_drawnVisible = m_state.seriesVisible;
    m_chart->removeAllSeries();
    const QPen pen(kLineColour, 2);
    auto *markers = new QScatterSeries;
    markers->setObjectName(QStringLiteral("markers"));
    markers->setMarkerSize(7);
    markers->setColor(kLineColour);
    markers->setBorderColor(kLineColour);
    // Gaps break the line: each unbroken run is a series of its own, drawn alike.
    for (const QVector<QPointF> &run : m_state.runs()) {
        markers->append(run);
        if (run.size() < 2) continue;
        auto *line = new QLineSeries;
        line->setPen(pen);
        line->append(run);
        m_chart->addSeries(line);
        line->attachAxis(m_axisX);
        line->attachAxis(m_axisY);
    }
    m_chart->addSeries(markers);
    markers->attachAxis(m_axisX);
    markers->attachAxis(m_axisY);
}

void frmChart::renderAxes()
{
    m_axisX->setTitleText(m_state.xTitle);
    m_axisY->setTitleText(m_state.yTitle);
    const ChartState::Range x = m_state.xRange();
    const ChartState::Range y = m_state.yRange();
    m_axisY->setRange(y.min, y.max);
    // In scroll view the points stand far enough apart for a label every fifth one.
    m_axisX->setTickInterval(m_state.scrollable ? 5.0 : niceStep(x.max - x.min, 10));
    m_axisY->setTickInterval(niceStep(y.max - y.min, 8));
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
        scrollXAxis();
        if (!m_renderViewAgain) break;
    }
    m_inRenderView = false;
}

void frmChart::scrollXAxis()
{
    // Scroll view keeps the point spacing and shows as many points as the plot has room for;
    // full view fits every point into the window.
    const ChartState::Range x = m_state.xRange();
    const double span = x.max - x.min;
    const double room = m_chart->plotArea().width() / kScrollPixelsPerPoint;
    // Before the first layout the plot has no width: show everything until it has.
    const bool scrolls = m_state.scrollable && room >= 1.0 && room < span;
    {
        const QSignalBlocker blocker(m_scrollBar);
        m_scrollBar->setRange(0, scrolls ? int(std::ceil(span - room)) : 0);
        m_scrollBar->setPageStep(std::max(1, int(room)));
    }
    m_scrollBar->setVisible(m_state.scrollable);
    const double from = x.min + (scrolls ? m_scrollBar->value() : 0);
    m_axisX->setRange(from, scrolls ? from + room : x.max);
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
