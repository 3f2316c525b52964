#pragma once

#include "charts/ChartCommands.h"
#include "charts/ChartScene.h"
#include "charts/ChartSeries.h"
#include "charts/ChartState.h"
#include "charts/ChartViewport.h"

#include <QDialog>
#include <QHash>
#include <memory>
#include <optional>

class ChartCanvas;
class ChartPages;
class ChartStatsPanel;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollBar;
class QStatusBar;
class ScreenModel;
class WindowPrinter;

// The chart window: a thin view over ChartState. Shown modally from the main window's Chart
// button; every menu command goes to ChartCommands and the window redraws from the state.
// Beyond its own menus it zooms and pans, reads out the point under the pointer, shows
// statistics, overlays a second quantity and saves the chart as an image (the "Tools" menu).
class frmChart : public QDialog {
    Q_OBJECT
public:
    // Horizontal room of one point in scroll view.
    static constexpr int kScrollPixelsPerPoint = 20;

    // printer: the main window's, so "Start" prints where its Print Setup points.
    frmChart(ScreenModel &model, WindowPrinter &printer, QWidget *parent = nullptr);
    // Several downloads charted as one series, in their order, each page's start marked.
    frmChart(std::unique_ptr<ChartPages> pages, WindowPrinter &printer, QWidget *parent = nullptr);
    ~frmChart() override;

    // What "Start" prints: the chart and the status bar, without the menu bar.
    QPixmap clientImage();

    // The chart as the window shows it, as a PNG, SVG or PDF of the size; false with the
    // reason on failure.
    bool saveImage(const QString &path, const QSize &size, QString *error);
    // A second quantity of the same page(s) on a right-hand axis; nullptr removes it. A
    // quantity of the other logger family is refused (false), as its menu is disabled.
    bool setOverlay(const ChartQuantityInfo *quantity);
    // Back to the window's own view: the axes of the quantity, the view chosen.
    void resetView();
    const ChartViewport &viewport() const { return m_viewport; }

private:
    frmChart(ScreenModel &model, std::unique_ptr<ChartPages> &&pages, WindowPrinter &printer,
             QWidget *parent);
    void buildMenus();
    void buildToolsMenu();
    QMenu *addMenu(const char *name, const Element &element);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption);
    void buildStatusBar();
    void buildChart();

    void choose(const ChartQuantityInfo &quantity);
    std::optional<ChartSeries> seriesOf(const ChartQuantityInfo &quantity);
    void render();
    void renderView();
    void placeView();
    void zoomBy(double factor);
    void print();
    void askImage();
    void chartFiles();

    ScreenModel &m_model;
    std::unique_ptr<ChartPages> m_pages; // several downloads; null for the main window's page
    WindowPrinter &m_printer;
    ChartState m_state;
    ChartCommands m_commands;
    ChartViewport m_viewport;
    ChartExtras m_extras;
    std::optional<ChartSeries> m_series; // the charted quantity, for read-out and statistics
    const ChartQuantityInfo *m_overlayQuantity = nullptr;

    QMenuBar *m_menuBar = nullptr;
    QHash<QString, QMenu *> m_menus;     // by control name: mnuLogger, mnuSLogger, ...
    QHash<QString, QAction *> m_actions; // menu items and mnuExit, by control name
    QActionGroup *m_overlayItems = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QHash<QString, QLabel *> m_panels; // by key
    QScrollBar *m_scrollBar = nullptr; // scroll view only: the first point shown
    std::unique_ptr<ChartScene> m_scene;
    ChartCanvas *m_canvas = nullptr;
    ChartStatsPanel *m_stats = nullptr;
    bool m_inRenderView = false;
    bool m_renderViewAgain = false;
};
