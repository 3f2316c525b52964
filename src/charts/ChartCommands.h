#pragma once

#include <QString>
#include <QtGlobal>

class ChartState;
class ScreenModel;
struct ChartQuantityInfo;

// The chart window's behaviour: its load, the eight quantity commands and the series build,
// and the two views. Reads the main window's tables and unit labels, writes the chart state.
class ChartCommands {
public:
    ChartCommands(ScreenModel &model, ChartState &chart);

    // Window load: full view, the axis setup of the main window's mode with the series hidden,
    // and the quantity menus and "Page" panel of that mode. Builds no chart.
    void load();

    // The quantity command of a menu item, whether or not its menu is enabled: the window
    // offers only the enabled ones, and the command line checks isAvailable first.
    void chooseQuantity(const ChartQuantityInfo &quantity);
    // Whether the quantity's menu was enabled at load.
    bool isAvailable(const ChartQuantityInfo &quantity) const;

    // Rebuilds series 0 from the table column of ChartQuantity and scales the Y axis to it.
    void BuildChartSeries();

    void scrollView();
    void fullView();

    // The quantity's unit as the main window shows it now.
    QString unitText(const ChartQuantityInfo &quantity) const;

private:
    void setupAxes();
    void enableMenus();

    ScreenModel &m_model;
    ChartState &m_chart;
};
