#include "charts/ChartImageDialog.h"

#include "charts/ChartImage.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>

namespace {
const QString kFolderKey = QStringLiteral("chart/imageFolder");
const QString kFilterKey = QStringLiteral("chart/imageFilter");
const QString kSizeKey = QStringLiteral("chart/imageSize");

QSpinBox *side(int value)
{
    auto *box = new QSpinBox;
    box->setRange(ChartImage::kMinSide, ChartImage::kMaxSide);
    box->setSuffix(QStringLiteral(" px"));
    box->setValue(value);
    return box;
}

bool askSize(QWidget *parent, QSize *size)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Image Size"));
    auto *form = new QFormLayout(&dialog);
    QSpinBox *width = side(size->width());
    QSpinBox *height = side(size->height());
    form->addRow(QStringLiteral("&Width:"), width);
    form->addRow(QStringLiteral("&Height:"), height);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    *size = QSize(width->value(), height->value());
    return true;
}
} // namespace

namespace ChartImageDialog {

bool ask(QWidget *parent, QString *path, QSize *size)
{
    QSettings settings;
    const QStringList filters{QStringLiteral("PNG image (*.png)"),
                              QStringLiteral("SVG drawing (*.svg)"),
                              QStringLiteral("PDF document (*.pdf)")};
    QString filter = settings.value(kFilterKey, filters.first()).toString();
    const QString folder = settings.value(kFolderKey, QDir::currentPath()).toString();
    QString chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Image"),
                                                  QDir(folder).filePath(QStringLiteral("chart")),
                                                  filters.join(QStringLiteral(";;")), &filter);
    if (chosen.isEmpty()) return false;
    // A name without a known ending takes the ending of the type picked.
    if (ChartImage::formatOf(chosen).isEmpty())
        chosen += QLatin1Char('.') + ChartImage::formats().value(filters.indexOf(filter), "png");
    const QSize last = settings.value(kSizeKey, *size).toSize();
    *size = last.isValid() ? last : *size;
    if (!askSize(parent, size)) return false;
    settings.setValue(kFolderKey, QFileInfo(chosen).absolutePath());
    settings.setValue(kFilterKey, filter);
    settings.setValue(kSizeKey, *size);
    *path = chosen;
    return true;
}

} // namespace ChartImageDialog
