#pragma once

#include "app/Element.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>
#include <optional>

// The chart window frmChart as data: its caption, menus, status bar and the chart control with
// its one series. Widget-free, so the command line prints exactly what the window draws.
// Behaviour calls notify() at the end of every action.
class ChartState : public QObject {
    Q_OBJECT
public:
    ChartState();

    Element frmChart; // the window; its caption is the window caption
    Element mnuLogger;
    Element mnuSLogger;
    Element mnuPrint;
    Element mnuView;
    Element mnuExit;
    Element mnuScroll;
    Element mnuFull;

    // Status bar panels, left to right.
    struct Panel {
        QString key;
        QString text;
    };
    const QList<Panel> &panels() const { return m_panels; }
    QString panelText(const QString &key) const;
    // An unknown key changes nothing.
    void setPanelText(const QString &key, const QString &text);

    // Chart control. An axis bound that the program never set is nullopt: the control then
    // picks its own (see xRange / yRange).
    bool seriesVisible = true;
    bool scrollable = false;
    std::optional<double> xMin, xMax, yMin, yMax;
    QString xTitle;
    QString yTitle;

    // Value data of series 0. Values are written only between openData and closeData, and the
    // chart redraws once, at the close, however many points were written.
    void openData(int series, int points);
    void setValue(int series, int point, double value);
    void closeData();
    bool dataOpen() const { return m_open; }
    const QVector<double> &values() const { return m_values; }
    int redraws() const { return m_redraws; }

    // The control numbers its points from 1: point i stands at x = i + 1, which is why a
    // Single Logger page's axis runs from 1 to 30.
    static double xOf(int point) { return point + 1.0; }
    // The unbroken runs of shown points, each a line of its own.
    QList<QVector<QPointF>> runs() const;

    // The axis ranges drawn: the bounds the program set, the control's own where it set none.
    struct Range {
        double min;
        double max;
    };
    Range xRange() const;
    Range yRange() const;

    void notify() { emit changed(); }

signals:
    void changed();

private:
    QList<Panel> m_panels;
    QVector<double> m_values;
    bool m_open = false;
    int m_redraws = 0;
};
