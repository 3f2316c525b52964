#pragma once

#include "charts/ChartCommands.h"
#include "charts/ChartState.h"

#include <QDialog>
#include <QHash>

class QAction;
class QChart;
class QChartView;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollBar;
class QStatusBar;
class QValueAxis;
class ScreenModel;
class WindowPrinter;

// The chart window: a thin view over ChartState. Shown modally from the main window's Chart
// button; every menu command goes to ChartCommands and the window redraws from the state.
class frmChart : public QDialog {
    Q_OBJECT
public:
    // Horizontal room of one point in scroll view.
    static constexpr int kScrollPixelsPerPoint = 20;

    // printer: the main window's, so "Start" prints where its Print Setup points.
    frmChart(ScreenModel &model, WindowPrinter &printer, QWidget *parent = nullptr);

    // What "Start" prints: the chart and the status bar, without the menu bar.
    QPixmap clientImage();

private:
    void buildMenus();
    QMenu *addMenu(const char *name, const Element &element);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption);
    void buildStatusBar();
    void buildChart();

    void render();
    void renderSeries();
    void renderAxes();
    void renderView();
    void scrollXAxis();
    void print();

    WindowPrinter &m_printer;
    ChartState m_state;
    ChartCommands m_commands;

    QMenuBar *m_menuBar = nullptr;
    QHash<QString, QMenu *> m_menus;     // by control name: mnuLogger, mnuSLogger, ...
    QHash<QString, QAction *> m_actions; // menu items and mnuExit, by control name
    QStatusBar *m_statusBar = nullptr;
    QHash<QString, QLabel *> m_panels; // by key
    QScrollBar *m_scrollBar = nullptr; // scroll view only: the first point shown
    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    int m_drawnRedraws = -1;
    bool m_drawnVisible = false;
    bool m_inRenderView = false;
    bool m_renderViewAgain = false;
};
