#include "app/Program.h"
#include "charts/ChartCommands.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/Headless.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QLocale>

namespace {
// The shortest text that reads back as the same double: no digit of a value is lost.
QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString bound(const std::optional<double> &value)
{
    return value ? number(*value) : QStringLiteral("auto");
}

QByteArray chartLines(const ChartState &chart)
{
    QString out;
    out += QStringLiteral("caption=") + chart.frmChart.caption + QLatin1Char('\n');
    for (const char *key : {"MeasureTitle", "Page", "Unit"})
        out += QLatin1String(key) + QLatin1Char('=') + chart.panelText(QLatin1String(key)) +
               QLatin1Char('\n');
    out += QStringLiteral("ytitle=") + chart.yTitle + QLatin1Char('\n');
    out += QStringLiteral("xmin=") + bound(chart.xMin) + QLatin1Char('\n');
    out += QStringLiteral("xmax=") + bound(chart.xMax) + QLatin1Char('\n');
    out += QStringLiteral("ymin=") + bound(chart.yMin) + QLatin1Char('\n');
    out += QStringLiteral("ymax=") + bound(chart.yMax) + QLatin1Char('\n');
    const QVector<double> &values = chart.values();
    for (int i = 0; i < values.size(); ++i) {
        const double v = values[i];
        out += QStringLiteral("POINT %1 %2\n")
                   .arg(i)
                   .arg(v == ChartNumbers::kGap ? QStringLiteral("gap") : number(v));
    }
    return out.toLatin1();
}

int runChart(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {"--quantity"}, {});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (args.positional.size() != 1)
        return usageError(self, QStringLiteral("give exactly one data file"));
    const QString name = args.value("--quantity");
    if (name.isEmpty()) return usageError(self, QStringLiteral("--quantity is required"));
    const ChartQuantityInfo *quantity = chartQuantityByCaption(name);
    if (!quantity) return usageError(self, QStringLiteral("unknown quantity \"%1\"").arg(name));
    const QString path = args.positional.first();

    Headless run;
    if (!run.open(path)) return ExitFailure;
    Program &program = run.program;
    // The Chart button's own rule: Real and Store refuse with their message.
    if (!program.commands.chart()) return ExitFailure;

    ChartState chart;
    ChartCommands commands(program.model, chart);
    commands.load();
    if (!commands.isAvailable(*quantity)) {
        const bool single = quantity->singleLogger;
        writeStderr(
            QStringLiteral("Cannot chart %1 from \"%2\": the \"%3\" menu is disabled "
                           "in mode %4 (%5 pages only).")
                .arg(name, path, single ? chart.mnuSLogger.caption : chart.mnuLogger.caption)
                .arg(program.model.CurrentMode)
                .arg(single ? QStringLiteral("Single Logger") : QStringLiteral("Logger")));
        return ExitFailure;
    }
    commands.chooseQuantity(*quantity);
    writeStdout(chartLines(chart));
    return ExitOk;
}

const CliCommand::Registration chartCommand({
    QStringLiteral("chart"),
    QStringLiteral("nrv508-cli chart FILE --quantity CO|O2|CO2|Temp1|Temp2|Pressure|Value1|Value2"),
    runChart,
});
} // namespace
