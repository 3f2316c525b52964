#pragma once

#include "export/Exporter.h"
#include "tables/WindowPrinter.h"

#include <QObject>
#include <optional>

class Archiver;
class frmArchive;
class frmChart;
class MessageSink;
class PickOrder;
class QPushButton;
class QWidget;
class TrendPanel;

// What the archive window hands to the other windows: the picked downloads exported (one file
// each into a folder, or all in one CSV, JSON or Excel file), charted as one series in the
// order they were picked, and a live run reopened as a trend.
class ArchiveActions : public QObject {
    Q_OBJECT
public:
    enum class Target { Each, All };

    ArchiveActions(frmArchive &window, Archiver &archiver, MessageSink &messages);

    // The Export, Chart and Trend buttons, for the window's button row.
    QWidget *buttons() const { return m_buttons; }
    // The selected downloads, first picked first.
    QList<qint64> pickedIds() const;

    // Exports the picked downloads; asks for whatever is not given (one file each or all in
    // one, the folder or file). True once everything is written.
    bool exportPicked(ExportFormat format, std::optional<Target> target = std::nullopt,
                      const QString &path = QString());
    // The picked Logger pages (or pages of one Single Logger page) as one series; the window
    // opened, or nullptr after telling why not.
    frmChart *chartPicked();
    // The picked live run as a trend in a window of its own; nullptr after telling why not.
    TrendPanel *trendPicked();

private:
    QWidget *buildButtons();
    void updateButtons();
    std::optional<Target> askTarget(ExportFormat format, int count);
    QString askPath(ExportFormat format, Target target, const QList<qint64> &ids);
    void tell(const QString &title, const QString &text, bool failure);

    frmArchive &m_window;
    Archiver &m_archiver;
    MessageSink &m_messages;
    PickOrder *m_order;
    WindowPrinter m_printer;
    QWidget *m_buttons = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_chart = nullptr;
    QPushButton *m_trend = nullptr;
};
