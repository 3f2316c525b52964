#pragma once

#include "charts/ChartSeries.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

struct Args;
class ChartCommands;
class ChartPages;
class ChartState;
class QCoreApplication;
class ScreenModel;
struct ChartQuantityInfo;

// What nrv508-cli chart does beyond printing the chart of one page: several pages as one
// series, and the chart drawn as an image instead of printed.
namespace ChartOutput {

// --image OUT [--size WxH] [--overlay Q].
struct Image {
    QString path;
    QSize size{1000, 600};
    const ChartQuantityInfo *overlay = nullptr;
};
// nullopt without --image; a usage problem in *problem when the options do not fit.
std::optional<Image> imageOptions(const Args &args, QString *problem);

// "PAGE <first point> <name>" for each page of a joined series.
QByteArray pageLines(const ChartSeries &series);

// Draws the chart just built, in the window's full view, with the overlay asked for built the
// same way from the same page(s). Returns the exit status; failures go to stderr.
int drawImage(const Image &image, const ChartState &chart, ChartCommands &commands,
              ScreenModel &model, ChartPages *pages, const ChartQuantityInfo &quantity);

// The application object for a run of the chart command: drawing needs the windowing
// toolkit's (offscreen), printing the core's alone.
QCoreApplication *application(int &argc, char **argv);

} // namespace ChartOutput
