#pragma once

#include "charts/ChartSeries.h"
#include "files/DataFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class ChartState;
class ScreenModel;
struct ChartQuantityInfo;

// Several downloads charted as one series, in the order given: each data file is read into a
// screen of its own, as "Open OK" would read it, and each quantity is built on every page by
// the same command as the window's.
class ChartPages {
public:
    struct Source {
        QString name; // shown at the page's boundary and in messages
        QByteArray bytes;
    };

    ChartPages();
    ~ChartPages();

    // Refuses, with the reason naming the file, a file that cannot be read, a page of neither
    // logger family, a Single Logger page among Logger pages (or the other way round), and
    // Single Logger pages of different page numbers, which log different things.
    bool load(const QList<Source> &sources, QString *error);
    // Reads the files themselves, as "Open OK" reads one.
    bool loadFiles(const QStringList &paths, QString *error);

    int count() const { return int(m_pages.size()); }
    // The screen of the first page: the chart window's menus and panels follow it.
    ScreenModel &first() { return *m_pages.front(); }
    // "Page : 1, 2, 2": the page number of every download in order.
    QString pageText() const;

    // The quantity over every page; nullopt with the reason when the pages cannot share an
    // axis (see ChartSeries::join).
    std::optional<ChartSeries> series(const ChartQuantityInfo &quantity, QString *error);
    // Puts the joined series into the chart after the quantity command has run on the first
    // page: its points, the X axis over all of them and the Y bounds of every page.
    static void apply(const ChartSeries &series, ChartState &chart);

private:
    bool add(const QString &name, const DataFile::Contents &contents, QString *error);
    bool checkSome(QString *error);
    void clear();

    std::vector<std::unique_ptr<ScreenModel>> m_pages;
    QStringList m_names;
};
