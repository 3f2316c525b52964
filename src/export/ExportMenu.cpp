#include "export/ExportMenu.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "charts/ChartQuantities.h"
#include "export/CsvOptionsDialog.h"
#include "export/ExportTable.h"
#include "export/ReportHeaderDialog.h"
#include "export/ReportLayout.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
const char kTitle[] = "Export";

struct Entry {
    const char *name; // after the menu's own prefix
    const char *caption;
    ExportFormat format;
};
const Entry kEntries[] = {
    {"Csv", "&CSV...", ExportFormat::Csv},
    {"Json", "&JSON...", ExportFormat::Json},
    {"Xlsx", "&Excel Workbook...", ExportFormat::Xlsx},
    {"Pdf", "PDF &Report...", ExportFormat::Pdf},
};
} // namespace

ExportMenu::ExportMenu(QMenuBar *bar, ScreenModel &model, MessageSink &messages, QWidget *window)
    : QObject(window), m_model(model), m_messages(messages), m_window(window)
{
    m_menu = bar->addMenu(QStringLiteral("E&xport"));
    m_menu->setObjectName(QStringLiteral("menuExport"));
    addFormatActions(m_menu, "mnuExport", [this](ExportFormat format) { exportScreen(format); });
    m_menu->addSeparator();
    QAction *print = m_menu->addAction(QStringLiteral("&Print Report..."));
    print->setObjectName(QStringLiteral("mnuExportPrint"));
    connect(print, &QAction::triggered, this, &ExportMenu::printReport);
    m_menu->addSeparator();
    QAction *csv = m_menu->addAction(QStringLiteral("CSV &Options..."));
    csv->setObjectName(QStringLiteral("mnuExportCsvOptions"));
    connect(csv, &QAction::triggered, this, &ExportMenu::editCsvOptions);
    QAction *header = m_menu->addAction(QStringLiteral("Report &Header..."));
    header->setObjectName(QStringLiteral("mnuExportHeader"));
    connect(header, &QAction::triggered, this, &ExportMenu::editReportHeader);
}

void ExportMenu::addFormatActions(QMenu *menu, const char *namePrefix,
                                  const std::function<void(ExportFormat)> &chosen)
{
    for (const Entry &e : kEntries) {
        QAction *a = menu->addAction(QString::fromLatin1(e.caption));
        a->setObjectName(QLatin1String(namePrefix) + QLatin1String(e.name));
        const ExportFormat format = e.format;
        connect(a, &QAction::triggered, menu, [chosen, format] { chosen(format); });
    }
}

QString ExportMenu::fileFilter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("CSV files (*.csv)");
    case ExportFormat::Json:
        return QStringLiteral("JSON files (*.json)");
    case ExportFormat::Xlsx:
        return QStringLiteral("Excel workbooks (*.xlsx)");
    case ExportFormat::Pdf:
        return QStringLiteral("PDF documents (*.pdf)");
    }
    return QString();
}

QString ExportMenu::suggestedName(const ExportTable &t, ExportFormat format) const
{
    QString base = t.title.isEmpty() ? QStringLiteral("export") : t.title;
    base.replace(QLatin1Char('#'), QString()).replace(QLatin1Char(' '), QLatin1Char('_'));
    return QDir::current().filePath(base + QLatin1Char('.') + Exporter::extension(format));
}

QString ExportMenu::chooseQuantity(const ExportTable &t)
{
    const bool single = t.family == Family::SingleLogger;
    if (!single && t.family != Family::Logger) return QString();
    QStringList items;
    for (const ChartQuantityInfo &q : chartQuantities()) {
        if (q.singleLogger == single) items << QString::fromLatin1(q.caption);
    }
    const int current = qMax(0, static_cast<int>(items.indexOf(m_quantity)));
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(m_window, QString::fromLatin1(kTitle),
                              QStringLiteral("Chart in the report:"), items, current, false, &ok);
    if (!ok) return QStringLiteral("-");
    m_quantity = chosen;
    return chosen;
}

ExportSettings ExportMenu::settingsFor(ExportFormat format, const ExportTable &t)
{
    ExportSettings settings;
    settings.format = format;
    settings.csv = CsvOptionsDialog::saved();
    if (format == ExportFormat::Pdf) {
        settings.header = ReportHeader::load();
        settings.quantity = chooseQuantity(t);
    }
    return settings;
}

bool ExportMenu::exportScreen(ExportFormat format, const QString &given)
{
    const ExportTable table = ExportTable::fromScreen(m_model);
    if (table.isEmpty()) {
        m_messages.show(QString::fromLatin1(kTitle), Exporter::nothingToExport(),
                        MessageIcon::Information);
        return false;
    }
    const ExportSettings settings = settingsFor(format, table);
    if (settings.quantity == QLatin1String("-")) return false;
    QString path = given;
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(m_window, QString::fromLatin1(kTitle),
                                            suggestedName(table, format), fileFilter(format));
    if (path.isEmpty()) return false;
    QString error;
    if (!Exporter::write(path, {table}, settings, &error)) {
        m_messages.show(QString::fromLatin1(kTitle), error, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void ExportMenu::printReport()
{
    const ExportTable table = ExportTable::fromScreen(m_model);
    if (table.isEmpty()) {
        m_messages.show(QString::fromLatin1(kTitle), Exporter::nothingToExport(),
                        MessageIcon::Information);
        return;
    }
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_messages.show(QString::fromLatin1(kTitle),
                        QStringLiteral("No printer is installed. Export > PDF Report makes the "
                                       "same report as a file."),
                        MessageIcon::Information);
        return;
    }
    const ExportSettings settings = settingsFor(ExportFormat::Pdf, table);
    if (settings.quantity == QLatin1String("-")) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(ReportLayout::pageSizeFor(QLocale()));
    printer.setPageMargins(QMarginsF(15, 14, 15, 12), QPageLayout::Millimeter);
    QPrintDialog dialog(&printer, m_window);
    if (dialog.exec() != QDialog::Accepted) return;
    ReportLayout(table, settings.header, settings.quantity).paint(printer);
}

void ExportMenu::editCsvOptions()
{
    CsvOptionsDialog dialog(m_window);
    dialog.exec();
}

void ExportMenu::editReportHeader()
{
    ReportHeaderDialog dialog(m_window);
    dialog.exec();
}
