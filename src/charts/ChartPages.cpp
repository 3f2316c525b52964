#include "charts/ChartPages.h"

#include "app/ScreenModel.h"
#include "charts/ChartState.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QFileInfo>

ChartPages::ChartPages() = default;
ChartPages::~ChartPages() = default;

bool ChartPages::add(const QString &name, const DataFile::Contents &contents, QString *error)
{
    const int mode = contents.mode;
    if (!isLogger(mode) && !isSingleLogger(mode)) {
        *error = QStringLiteral("\"%1\" is not a Logger or Single Logger page.").arg(name);
        return false;
    }
    const int firstMode = m_pages.empty() ? mode : int(m_pages.front()->CurrentMode);
    const bool sameFamily = isLogger(mode) == isLogger(firstMode);
    if (!sameFamily || (isSingleLogger(mode) && mode != firstMode)) {
        *error = QStringLiteral("\"%1\" (%2) cannot be charted with \"%3\" (%4): Logger pages "
                                "go together, and Single Logger pages of one page number.")
                     .arg(name, QLatin1String(modeInfo(mode)->caption), m_names.first(),
                          QLatin1String(modeInfo(firstMode)->caption));
        return false;
    }
    auto model = std::make_unique<ScreenModel>();
    DataFile::apply(contents, *model);
    m_pages.push_back(std::move(model));
    m_names << name;
    return true;
}

bool ChartPages::load(const QList<Source> &sources, QString *error)
{
    clear();
    for (const Source &source : sources) {
        DataFile::Contents contents;
        if (!DataFile::parse(source.bytes, source.name, &contents, error) ||
            !add(source.name, contents, error))
            return clear(), false;
    }
    return checkSome(error);
}

bool ChartPages::loadFiles(const QStringList &paths, QString *error)
{
    clear();
    for (const QString &path : paths) {
        DataFile::Contents contents;
        if (!DataFile::load(path, &contents, error) ||
            !add(QFileInfo(path).fileName(), contents, error))
            return clear(), false;
    }
    return checkSome(error);
}

bool ChartPages::checkSome(QString *error)
{
    if (!m_pages.empty()) return true;
    *error = QStringLiteral("No data file to chart.");
    return false;
}

void ChartPages::clear()
{
    m_pages.clear();
    m_names.clear();
}

QString ChartPages::pageText() const
{
    QStringList numbers;
    for (const auto &page : m_pages)
        numbers << QString::number(modeInfo(page->CurrentMode)->page);
    return QStringLiteral("Page : ") + numbers.join(QStringLiteral(", "));
}

std::optional<ChartSeries> ChartPages::series(const ChartQuantityInfo &quantity, QString *error)
{
    QList<ChartSeries> each;
    for (size_t i = 0; i < m_pages.size(); ++i)
        each << ChartSeries::ofPage(*m_pages[i], quantity, m_names[int(i)]);
    return ChartSeries::join(each, error);
}

void ChartPages::apply(const ChartSeries &series, ChartState &chart)
{
    chart.openData(1, series.size());
    for (int i = 0; i < series.size(); ++i)
        chart.setValue(0, i, series.values[i]);
    chart.xMax = series.size();
    chart.yMin = series.yMin;
    chart.yMax = series.yMax;
    chart.closeData();
}
