#pragma once

#include <QSize>
#include <QString>

class QWidget;

// Asks where to save the chart as an image and at what size. The folder, the format and the
// size chosen last are offered again (in the program's own settings).
namespace ChartImageDialog {
// false when the user cancels; *size comes in as the size to offer the first time.
bool ask(QWidget *parent, QString *path, QSize *size);
} // namespace ChartImageDialog
