#include "charts/ChartSeries.h"

#include "app/ScreenModel.h"
#include "charts/ChartCommands.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"

#include <QDateTime>
#include <algorithm>

namespace {
// Record table columns the read-out shows.
constexpr int kAddressColumn = 0;
constexpr int kTimeColumn = 1;
constexpr int kDateColumn = 2;

// The instrument writes dates day first with two-digit years and times as hh:mm:ss.
const QString kDateFormat = QStringLiteral("dd/MM/yy");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

// A sampling interval "hh:mm:ss" in seconds; nullopt for anything else.
std::optional<qint64> intervalSeconds(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3) return std::nullopt;
    qint64 seconds = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 0 || n > 59 * 60) return std::nullopt;
        seconds = seconds * 60 + n;
    }
    return seconds;
}

// The time of the record in slot `slot` of a Single Logger page: the start plus one interval
// per record before it. Where the start or the interval cannot be read, the start as given.
void singleLoggerTime(const ScreenModel &m, int slot, QString *date, QString *time)
{
    *date = m.txtSLDate.caption;
    *time = m.txtSLTime.caption;
    QDateTime start(QDate::fromString(m.txtSLDate.caption.trimmed(), kDateFormat),
                    QTime::fromString(m.txtSLTime.caption.trimmed(), kTimeFormat));
    const std::optional<qint64> step = intervalSeconds(m.txtSLSample.caption);
    if (!start.isValid() || !step) return;
    // Two-digit years: the instrument's dates are this century's.
    if (start.date().year() < 2000) start = start.addYears(100);
    const QDateTime at = start.addSecs(*step * slot);
    *date = at.toString(kDateFormat);
    *time = at.toString(kTimeFormat);
}
} // namespace

bool ChartSeries::isGap(int i) const
{
    return i < 0 || i >= values.size() || values[i] == ChartNumbers::kGap;
}

int ChartSeries::pageOf(int point) const
{
    if (point < 0 || point >= values.size()) return -1;
    int page = -1;
    for (int p = 0; p < pages.size() && pages[p].first <= point; ++p)
        page = p;
    return page;
}

ChartSeries ChartSeries::ofPage(ScreenModel &model, const ChartQuantityInfo &quantity,
                                const QString &name)
{
    ChartState state;
    ChartCommands commands(model, state);
    const qint16 kept = model.ChartQuantity;
    commands.load();
    commands.chooseQuantity(quantity);
    model.ChartQuantity = kept;

    ChartSeries s;
    s.quantity = QString::fromLatin1(quantity.caption);
    s.unit = commands.unitText(quantity);
    if (quantity.singleLogger) s.measure = model.txtSLMeasure.caption;
    s.values = state.values();
    s.xMin = state.xMin;
    s.yMin = state.yMin;
    s.yMax = state.yMax;
    s.pages << Page{0, name};
    const Grid &table = quantity.singleLogger ? model.MSFlexGrid3 : model.MSFlexGrid1;
    int last = -1;
    for (int i = 0; i < s.values.size(); ++i) {
        const int row = i + 1;
        s.addresses << table.text(row, kAddressColumn).trimmed();
        QString date, time;
        if (quantity.singleLogger)
            singleLoggerTime(model, i, &date, &time);
        else
            date = table.text(row, kDateColumn), time = table.text(row, kTimeColumn);
        s.dates << date;
        s.times << time;
        if (!s.addresses.last().isEmpty() || !s.isGap(i)) last = i;
    }
    for (int i = 0; i < s.values.size(); ++i)
        s.recorded << (i <= last);
    return s;
}

std::optional<ChartSeries> ChartSeries::join(const QList<ChartSeries> &pages, QString *error)
{
    if (pages.isEmpty()) {
        *error = QStringLiteral("No page to chart.");
        return std::nullopt;
    }
    ChartSeries all;
    const ChartSeries &first = pages.first();
    all.quantity = first.quantity;
    all.unit = first.unit;
    all.measure = first.measure;
    all.xMin = first.xMin;
    for (const ChartSeries &page : pages) {
        const QString name = page.pages.value(0).name;
        const int used = int(std::count(page.recorded.begin(), page.recorded.end(), true));
        if (used == 0) {
            *error = QStringLiteral("\"%1\" holds no record to chart.").arg(name);
            return std::nullopt;
        }
        if (page.unit != first.unit || page.measure != first.measure) {
            const auto what = [](const ChartSeries &s) {
                return (s.measure.isEmpty() ? s.quantity : s.measure) + QStringLiteral(" (") +
                       s.unit + QLatin1Char(')');
            };
            *error = QStringLiteral("\"%1\" holds %2, \"%3\" holds %4: they cannot share one axis.")
                         .arg(first.pages.value(0).name, what(first), name, what(page));
            return std::nullopt;
        }
        all.pages << Page{all.size(), name};
        all.values += page.values.mid(0, used);
        all.addresses += page.addresses.mid(0, used);
        all.dates += page.dates.mid(0, used);
        all.times += page.times.mid(0, used);
        all.recorded += page.recorded.mid(0, used);
        // A page of gaps alone set no bound: it leaves the others' to decide.
        if (page.yMin) all.yMin = all.yMin ? std::min(*all.yMin, *page.yMin) : *page.yMin;
        if (page.yMax) all.yMax = all.yMax ? std::max(*all.yMax, *page.yMax) : *page.yMax;
    }
    return all;
}
