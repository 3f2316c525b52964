#include "app/Program.h"
#include "charts/ChartCommands.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartPages.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"
#include "cli/Args.h"
#include "cli/ChartOutput.h"
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
    const Args args = Args::parse(argv, {"--quantity", "--image", "--size", "--overlay"}, {});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (args.positional.isEmpty()) return usageError(self, QStringLiteral("give a data file"));
    const QString name = args.value("--quantity");
    if (name.isEmpty()) return usageError(self, QStringLiteral("--quantity is required"));
    const ChartQuantityInfo *quantity = chartQuantityByCaption(name);
    if (!quantity) return usageError(self, QStringLiteral("unknown quantity \"%1\"").arg(name));
    QString problem;
    const std::optional<ChartOutput::Image> image = ChartOutput::imageOptions(args, &problem);
    if (!problem.isEmpty()) return usageError(self, problem);
    const QString path = args.positional.first();

    // Several files are charted one after the other as one series.
    Headless run;
    std::unique_ptr<ChartPages> pages;
    ScreenModel *model = &run.program.model;
    QString error;
    if (args.positional.size() > 1) {
        pages = std::make_unique<ChartPages>();
        if (!pages->loadFiles(args.positional, &error)) return writeStderr(error), ExitFailure;
        model = &pages->first();
    } else {
        if (!run.open(path)) return ExitFailure;
        // The Chart button's own rule: Real and Store refuse with their message.
        if (!run.program.commands.chart()) return ExitFailure;
    }

    ChartState chart;
    ChartCommands commands(*model, chart);
    commands.load();
    if (pages) chart.setPanelText(QStringLiteral("Page"), pages->pageText());
    if (!commands.isAvailable(*quantity)) {
        const bool single = quantity->singleLogger;
        writeStderr(
            QStringLiteral("Cannot chart %1 from \"%2\": the \"%3\" menu is disabled "
                           "in mode %4 (%5 pages only).")
                .arg(name, path, single ? chart.mnuSLogger.caption : chart.mnuLogger.caption)
                .arg(model->CurrentMode)
                .arg(single ? QStringLiteral("Single Logger") : QStringLiteral("Logger")));
        return ExitFailure;
    }
    std::optional<ChartSeries> joined;
    if (pages && !(joined = pages->series(*quantity, &error)))
        return writeStderr(error), ExitFailure;
    commands.chooseQuantity(*quantity);
    if (joined) ChartPages::apply(*joined, chart);
    if (image)
        return ChartOutput::drawImage(*image, chart, commands, *model, pages.get(), *quantity);
    writeStdout(chartLines(chart));
    if (joined) writeStdout(ChartOutput::pageLines(*joined));
    return ExitOk;
}

const CliCommand::Registration chartCommand({
    QStringLiteral("chart"),
    QStringLiteral("nrv508-cli chart FILE [FILE...] --quantity "
                   "CO|O2|CO2|Temp1|Temp2|Pressure|Value1|Value2\n"
                   "         [--image OUT.png|OUT.svg|OUT.pdf [--size WxH] [--overlay Q]]"),
    runChart,
    QStringLiteral(
        "Reads the data file FILE as open does, loads the chart window for its mode and\n"
        "chooses the quantity. Prints caption=, MeasureTitle=, Page=, Unit=, ytitle=, the axis\n"
        "bounds xmin= xmax= ymin= ymax= (auto where the program never set one) and one\n"
        "\"POINT i value\" line per record slot (gap where the cell holds no measurement).\n"
        "Real and Store files are refused as the Chart button refuses them. Several files of\n"
        "the Logger family, or of one Single Logger page, are charted one after the other as\n"
        "one series, with a \"PAGE first name\" line per file.\n"
        "\n"
        "Options:\n"
        "  --quantity Q       the quantity to chart; required, no default:\n"
        "                     CO, O2, CO2, Temp1, Temp2, Pressure (Logger pages, modes 2\n"
        "                     to 5), Value1, Value2 (Single Logger pages, modes 6 to 10)\n"
        "  --image OUT        draw the chart into OUT (.png, .svg or .pdf) instead of\n"
        "                     printing it, as Tools > Save Image... does (default: print)\n"
        "  --size WxH         the image size in pixels (default 1000x600)\n"
        "  --overlay Q        a second quantity on a right-hand axis of the image (default:\n"
        "                     none)\n"
        "\n"
        "Example:\n"
        "  nrv508-cli chart page0.txt --quantity CO --overlay O2 --image co.png\n"),
    ChartOutput::application,
});
} // namespace
