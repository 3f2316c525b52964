#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class QCoreApplication;
class ChartScene;

// The chart saved as a picture: PNG at the size asked for, SVG, or a one-page PDF of that
// size, chosen by the file name's ending.
namespace ChartImage {

// The endings understood, lower case: png, svg, pdf.
QStringList formats();
// The format of a file name by its ending; "" for none of them.
QString formatOf(const QString &path);
// "800x600" into a size within the limits; an invalid size for anything else.
QSize parseSize(const QString &text);
constexpr int kMinSide = 100;
constexpr int kMaxSide = 10000;

// Draws the scene's chart at the size into the file, all or nothing. On failure returns false
// with the reason, naming the file, in *error. The chart is laid out anew for the size.
bool save(ChartScene &scene, const QString &path, const QSize &size, QString *error);

// The application object a command-line run needs to draw charts: the windowing toolkit's,
// on the offscreen platform, so that no display is needed.
QCoreApplication *makeApplication(int &argc, char **argv);

} // namespace ChartImage
