#pragma once

#include "export/Exporter.h"

#include <QObject>

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
