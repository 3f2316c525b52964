#include "cli/ChartOutput.h"

#include "charts/ChartCommands.h"
#include "charts/ChartImage.h"
#include "charts/ChartPages.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartScene.h"
#include "charts/ChartState.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <cstring>

namespace ChartOutput {

std::optional<Image> imageOptions(const Args &args, QString *problem)
{
    const bool any = args.options.contains(QStringLiteral("--size")) ||
                     args.options.contains(QStringLiteral("--overlay"));
    if (!args.options.contains(QStringLiteral("--image"))) {
        if (any) *problem = QStringLiteral("--size and --overlay go with --image");
        return std::nullopt;
    }
    Image image;
    image.path = args.value(QStringLiteral("--image"));
    if (ChartImage::formatOf(image.path).isEmpty()) {
        *problem = QStringLiteral("--image needs a file name ending in .png, .svg or .pdf");
        return std::nullopt;
    }
    if (args.options.contains(QStringLiteral("--size"))) {
        image.size = ChartImage::parseSize(args.value(QStringLiteral("--size")));
        if (!image.size.isValid()) {
            *problem = QStringLiteral("--size takes WIDTHxHEIGHT, each from %1 to %2 pixels")
                           .arg(ChartImage::kMinSide)
                           .arg(ChartImage::kMaxSide);
            return std::nullopt;
        }
    }
    if (args.options.contains(QStringLiteral("--overlay"))) {
        const QString name = args.value(QStringLiteral("--overlay"));
        image.overlay = chartQuantityByCaption(name);
        if (!image.overlay) {
            *problem = QStringLiteral("unknown quantity \"%1\"").arg(name);
            return std::nullopt;
        }
    }
    return image;
}

QByteArray pageLines(const ChartSeries &series)
{
    QByteArray out;
    for (const ChartSeries::Page &page : series.pages)
        out += QStringLiteral("PAGE %1 %2\n").arg(page.first).arg(page.name).toLocal8Bit();
    return out;
}

int drawImage(const Image &image, const ChartState &chart, ChartCommands &commands,
              ScreenModel &model, ChartPages *pages, const ChartQuantityInfo &quantity)
{
    ChartExtras extras;
    QString error;
    if (image.overlay) {
        if (!commands.isAvailable(*image.overlay)) {
            writeStderr(QStringLiteral("Cannot overlay %1: not a quantity of these pages.")
                            .arg(QLatin1String(image.overlay->caption)));
            return ExitFailure;
        }
        extras.overlay = pages ? pages->series(*image.overlay, &error)
                               : ChartSeries::ofPage(model, *image.overlay);
        if (!extras.overlay) {
            writeStderr(error);
            return ExitFailure;
        }
    }
    const ChartState::Range x = chart.xRange();
    const ChartState::Range y = chart.yRange();
    extras.shown = {x.min, x.max, y.min, y.max};
    extras.name =
        QStringLiteral("%1 (%2)").arg(QLatin1String(quantity.caption), commands.unitText(quantity));
    if (pages) {
        const std::optional<ChartSeries> joined = pages->series(quantity, &error);
        if (joined) extras.pages = joined->pages;
    }
    ChartScene scene;
    scene.show(chart, extras);
    if (!ChartImage::save(scene, image.path, image.size, &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    return ExitOk;
}

QCoreApplication *application(int &argc, char **argv)
{
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--image") == 0) return ChartImage::makeApplication(argc, argv);
    return new QCoreApplication(argc, argv);
}

} // namespace ChartOutput
