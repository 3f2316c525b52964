#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// Where a quantity's unit text comes from when it is chosen.
enum class UnitSource {
    Ppm,          // fixed "ppm"
    Percent,      // fixed "%"
    Temperature,  // caption of labST1Unit
    Pressure,     // caption of labSPUnit
    SingleLogger, // caption of txtSLUnit
};

// One of the eight quantity items of the chart window's menus.
struct ChartQuantityInfo {
    qint16 code;         // value of ChartQuantity
    const char *menu;    // control name of the menu item: mnuLCo ...
    const char *caption; // menu item caption, also the command line's --quantity name
    bool singleLogger;   // from MSFlexGrid3 (30 rows) rather than MSFlexGrid1 (100 rows)
    int column;          // column of the source table
    const char *windowCaption;
    const char *measureTitle; // "MeasureTitle" panel
    UnitSource unit;
};

// The quantity table in menu order: "  Logger  " items, then "SingleLogger" items.
const std::vector<ChartQuantityInfo> &chartQuantities();
// By ChartQuantity code, menu item name or caption; nullptr when none matches (codes 7 and 8
// are not assigned).
const ChartQuantityInfo *chartQuantityByCode(int code);
const ChartQuantityInfo *chartQuantityByMenu(const QString &menu);
const ChartQuantityInfo *chartQuantityByCaption(const QString &caption);
