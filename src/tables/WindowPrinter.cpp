#include "tables/WindowPrinter.h"

#include "tables/PrintSetupDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
const QString kTitle = QStringLiteral("Print");
}

WindowPrinter::WindowPrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

WindowPrinter::~WindowPrinter() = default;

bool WindowPrinter::printerInstalled()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void WindowPrinter::print(const QPixmap &image, QWidget *parent)
{
    // Without a printer Qt falls back to PDF output with no file named: the user names the
    // file instead, and is told where the image went.
    if (!printerInstalled() || m_printer->outputFormat() != QPrinter::NativeFormat) {
        offerPdf(image, parent);
        return;
    }
    if (!printImage(*m_printer, image)) {
        QMessageBox::warning(parent, kTitle,
                             QStringLiteral("The window could not be printed on \"%1\".")
                                 .arg(m_printer->printerName()));
    }
}

// The printer and its page only: printing is Print's, and no choice made here sends a later
// Print into a file the user never named.
void WindowPrinter::setup(QWidget *parent)
{
    PrintSetupDialog dialog(*m_printer, parent);
    if (dialog.exec() == QDialog::Accepted) dialog.applyTo(*m_printer);
}

bool WindowPrinter::printImage(QPrinter &printer, const QPixmap &image)
{
    QPainter painter;
    if (image.isNull() || !painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, image);
    return painter.end();
}

bool WindowPrinter::savePdf(const QString &path, const QPixmap &image, QString *error)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    if (printImage(pdf, image) && QFileInfo(path).size() > 0) return true;
    if (error) {
        const QFileInfo dir(QFileInfo(path).absolutePath());
        *error = dir.isDir() && !dir.isWritable() ? QStringLiteral("the folder is not writable")
                                                  : QStringLiteral("the file cannot be written");
    }
    return false;
}

void WindowPrinter::offerPdf(const QPixmap &image, QWidget *parent)
{
    const auto answer = QMessageBox::question(
        parent, kTitle,
        QStringLiteral("No printer is installed.\nSave the image as a PDF file instead?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) return;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save as PDF"),
                                                QDir::current().filePath("nrv508.pdf"),
                                                QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1String(".pdf");
    QString error;
    if (!savePdf(path, image, &error)) {
        QMessageBox::warning(
            parent, kTitle,
            QStringLiteral("Cannot save \"%1\": %2.").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    QMessageBox::information(
        parent, kTitle,
        QStringLiteral("The image of the window was saved as \"%1\".")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}
