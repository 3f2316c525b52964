#pragma once

#include "archive/ArchiveTableModel.h"

#include <QTimer>
#include <QWidget>

class ArchiveActions;
class Archiver;
class MessageSink;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TeamArchivePanel;

// The archive window: the archived downloads, newest first, under filters that answer as the
// user types; opens one into the main window, edits customer, site and note in place, deletes
// with a confirmation.
class frmArchive : public QWidget {
    Q_OBJECT
public:
    frmArchive(Archiver &archiver, MessageSink &messages, QWidget *parent = nullptr);

    // The IDs of the selected downloads, top to bottom (for actions on several at once).
    QList<qint64> selectedIds() const;
    ArchiveTableModel &model() { return m_model; }
    QTableView *table() const { return m_table; }
    // Export, chart and trend of the selected downloads.
    ArchiveActions *actions() const { return m_actions; }

    // Shows the archive's current list again (after something was archived).
    void refresh();

signals:
    void selectionChanged();

private:
    QWidget *buildFilters();
    QWidget *buildButtons();
    ArchiveFilter currentFilter() const;
    void openSelected();
    void deleteSelected();
    void showStatus();

    Archiver &m_archiver;
    MessageSink &m_messages;
    ArchiveTableModel m_model;
    QTimer m_filterDelay;
    QLineEdit *m_search = nullptr;
    QDateEdit *m_since = nullptr;
    QDateEdit *m_until = nullptr;
    QComboBox *m_mode = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_delete = nullptr;
    QLabel *m_status = nullptr;
    ArchiveActions *m_actions = nullptr;
    TeamArchivePanel *m_teamPanel = nullptr;
};
