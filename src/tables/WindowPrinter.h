#pragma once

#include <QString>
#include <memory>

class QPixmap;
class QPrinter;
class QWidget;

// Print and Print Setup of the main window: an image on the printer and page picked in Print
// Setup (the default printer until then). Without any printer the image can go to a PDF file
// the user names instead.
class WindowPrinter {
public:
    WindowPrinter();
    ~WindowPrinter();

    // The printer that Print uses, for other windows that print too.

    void print(const QPixmap &image, QWidget *parent);
    // The printer and page choice; cancelling it changes nothing.
    void setup(QWidget *parent);

    // Draws the image as large as the page allows, keeping its proportions.
    static bool printImage(QPrinter &printer, const QPixmap &image);
    // Writes the image as a one-page PDF file; the reason of a failure in *error.
    static bool savePdf(const QString &path, const QPixmap &image, QString *error);
    static bool printerInstalled();

private:
    void offerPdf(const QPixmap &image, QWidget *parent);

    std::unique_ptr<QPrinter> m_printer;
};
