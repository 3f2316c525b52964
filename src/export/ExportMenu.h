#pragma once

#include "export/Exporter.h"

#include <QObject>
#include <functional>

class MessageSink;
class QMenu;
class QMenuBar;
class QWidget;
class ScreenModel;
struct ExportTable;

// The main window's "Export" menu, after the documented menus: what the window shows as CSV,
// JSON, an Excel workbook or a PDF report, the report on a printer, and the export options.
class ExportMenu : public QObject {
    Q_OBJECT
public:
    ExportMenu(QMenuBar *bar, ScreenModel &model, MessageSink &messages, QWidget *window);

    QMenu *menu() const { return m_menu; }

    // The four export items (CSV, JSON, Excel Workbook, PDF Report) for any window's menu,
    // named namePrefix + "Csv", "Json", "Xlsx", "Pdf".
    static void addFormatActions(QMenu *menu, const char *namePrefix,
                                 const std::function<void(ExportFormat)> &chosen);
    // The file dialog's filter of the format.
    static QString fileFilter(ExportFormat format);

    // Exports the screen's download; asks for the file name unless path is given.
    bool exportScreen(ExportFormat format, const QString &path = QString());
    void printReport();
    void editCsvOptions();
    void editReportHeader();

private:
    ExportSettings settingsFor(ExportFormat format, const ExportTable &table);
    QString chooseQuantity(const ExportTable &table);
    QString suggestedName(const ExportTable &table, ExportFormat format) const;

    ScreenModel &m_model;
    MessageSink &m_messages;
    QWidget *m_window;
    QMenu *m_menu;
    QString m_quantity;
};
