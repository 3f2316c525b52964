#include "charts/ChartQuantities.h"

const std::vector<ChartQuantityInfo> &chartQuantities()
{
    static const std::vector<ChartQuantityInfo> table = {
        {0, "mnuLCo", "CO", false, 4, "Logger Data _ CO (ppm)", "Logger [ CO ]", UnitSource::Ppm},
        {1, "mnuLO2", "O2", false, 5, "Logger Data _ O2 (%)", "Logger [ O2 ]", UnitSource::Percent},
        {2, "mnuLCo2", "CO2", false, 6, "Logger Data _ CO2 (%)", "Logger [ CO2 ]",
         UnitSource::Percent},
        {3, "mnuLTemp1", "Temp1", false, 10, "Logger Data _ Temp1", "Logger [ Temp1 ]",
         UnitSource::Temperature},
        {4, "mnuLTemp2", "Temp2", false, 11, "Logger Data _ Temp2", "Logger [ Temp2 ]",
         UnitSource::Temperature},
        {9, "mnuPress", "Pressure", false, 12, "Logger Data _ Pressure", "Logger [ Pressure ]",
         UnitSource::Pressure},
        {5, "mnuSLValue1", "Value1", true, 1, "Single Logger Data _ Value1",
         "SingleLogger [ Value1 ]", UnitSource::SingleLogger},
        {6, "mnuSLValue2", "Value2", true, 2, "Single Logger Data _ Value2",
         "SingleLogger [ Value2 ]", UnitSource::SingleLogger},
    };
    return table;
}

namespace {
template <typename Match> const ChartQuantityInfo *find(Match match)
{
    for (const ChartQuantityInfo &q : chartQuantities())
        if (match(q)) return &q;
    return nullptr;
}
} // namespace

const ChartQuantityInfo *chartQuantityByCode(int code)
{
    return find([code](const ChartQuantityInfo &q) { return q.code == code; });
}

const ChartQuantityInfo *chartQuantityByMenu(const QString &menu)
{
    return find([&menu](const ChartQuantityInfo &q) { return menu == QLatin1String(q.menu); });
}

const ChartQuantityInfo *chartQuantityByCaption(const QString &caption)
{
    return find(
        [&caption](const ChartQuantityInfo &q) { return caption == QLatin1String(q.caption); });
}
