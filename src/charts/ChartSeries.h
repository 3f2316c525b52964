#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class ScreenModel;
struct ChartQuantityInfo;

// One quantity of one page, or of several pages one after the other, with what the read-out
// and the statistics need to know about every point. Point i stands at x = i + 1, as on the
// chart; a gap holds ChartNumbers::kGap.
struct ChartSeries {
    QString quantity; // menu caption: "CO"
    QString unit;     // "ppm", "'C"...
    QString measure;  // what a Single Logger page logged (its measurement panel); "" otherwise
    QVector<double> values;
    // Per point: the record's address, date and time as the page gives them ("" where none).
    QStringList addresses;
    QStringList dates;
    QStringList times;
    // Per point: whether the slot lies within its page's records, that is up to the last slot
    // that holds a record. The free slots after it are room the logger did not use, not gaps.
    QVector<bool> recorded;

    struct Page {
        int first; // index of the page's first point
        QString name;
    };
    QList<Page> pages;

    // The axis bounds the quantity command set for this series (see ChartCommands).
    std::optional<double> xMin, yMin, yMax;

    int size() const { return values.size(); }
    bool isGap(int i) const;
    // The page a point belongs to (index into pages); -1 when there is none.
    int pageOf(int point) const;

    // The series the quantity command builds on the page the model holds, on a chart state
    // of its own: the window's chart and the program-wide ChartQuantity stay as they were.
    // Records: the Logger table's "Add", "Date" and "Time" columns; a Single Logger record's
    // time is the page's start plus one sampling interval per record before it.
    static ChartSeries ofPage(ScreenModel &model, const ChartQuantityInfo &quantity,
                              const QString &name = QString());

    // Pages one after the other, each cut after its last record so that the series runs on
    // without the free room between them; the bounds enclose every page's. Refuses (nullopt,
    // with the reason naming the page) an empty list, a page with no record, and a page whose
    // unit or measurement differs from the first page's, which would put two scales on one
    // axis.
    static std::optional<ChartSeries> join(const QList<ChartSeries> &pages, QString *error);
};
