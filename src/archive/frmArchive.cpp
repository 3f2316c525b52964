#include "archive/frmArchive.h"

#include "app/MessageSink.h"
#include "archive/ArchiveActions.h"
#include "archive/Archiver.h"
#include "archive/TeamArchivePanel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// The earliest date of the date boxes stands for "no bound".
const QDate kAnyDate(2000, 1, 1);

QDateEdit *dateBox(const char *name)
{
    auto *box = new QDateEdit;
    box->setObjectName(QLatin1String(name));
    box->setCalendarPopup(true);
    box->setMinimumDate(kAnyDate);
    box->setSpecialValueText(QStringLiteral("any"));
    box->setDate(kAnyDate);
    box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return box;
}
} // namespace

frmArchive::frmArchive(Archiver &archiver, MessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_archiver(archiver), m_messages(messages)
{
    setObjectName(QStringLiteral("frmArchive"));
    setWindowTitle(QStringLiteral("Archive"));
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("archiveTable"));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildFilters());
    m_teamPanel = new TeamArchivePanel(m_model, archiver);
    layout->addWidget(m_teamPanel);
    layout->addWidget(m_table, 1);
    layout->addWidget(buildButtons());
    resize(900, 480);

    m_filterDelay.setSingleShot(true);
    m_filterDelay.setInterval(150); // one query per pause in typing, not per key
    connect(&m_filterDelay, &QTimer::timeout, this, [this] { m_model.setFilter(currentFilter()); });
    connect(&m_model, &ArchiveTableModel::listed, this, &frmArchive::showStatus);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        showStatus();
        emit selectionChanged();
    });
    connect(m_table, &QTableView::activated, this, [this](const QModelIndex &index) {
        // A live run opens as a trend (ArchiveActions), having no data file.
        if (!(m_model.flags(index) & Qt::ItemIsEditable) && !m_model.entryAt(index.row()).live())
            openSelected();
    });
    connect(&archiver, &Archiver::archived, this, &frmArchive::refresh);
    m_model.setFilter(currentFilter());
    m_model.setArchive(archiver.archive());
    m_table->setColumnHidden(ArchiveTableModel::ArchivedBy, true);
    connect(m_teamPanel, &TeamArchivePanel::viewChanged, this, [this](bool team) {
        m_table->setColumnHidden(ArchiveTableModel::ArchivedBy, !team);
        // Exports, trends and charts read this computer's archive: not the team's rows.
        m_actions->buttons()->setEnabled(!team);
    });
}

QWidget *frmArchive::buildFilters()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("archiveSearch"));
    m_search->setPlaceholderText(QStringLiteral("Customer, site or note"));
    m_search->setClearButtonEnabled(true);
    m_since = dateBox("archiveSince");
    m_until = dateBox("archiveUntil");
    m_mode = new QComboBox;
    m_mode->setObjectName(QStringLiteral("archiveMode"));
    m_mode->addItem(QStringLiteral("All modes"), -1);
    for (int mode = 0; mode <= 11; ++mode)
        m_mode->addItem(ArchiveTableModel::modeName(mode), mode);

    auto *searchLabel = new QLabel(QStringLiteral("&Search:"));
    searchLabel->setBuddy(m_search);
    auto *sinceLabel = new QLabel(QStringLiteral("&From:"));
    sinceLabel->setBuddy(m_since);
    auto *untilLabel = new QLabel(QStringLiteral("&To:"));
    untilLabel->setBuddy(m_until);
    auto *modeLabel = new QLabel(QStringLiteral("&Mode:"));
    modeLabel->setBuddy(m_mode);
    for (QWidget *w : {static_cast<QWidget *>(searchLabel), static_cast<QWidget *>(m_search),
                       static_cast<QWidget *>(sinceLabel), static_cast<QWidget *>(m_since),
                       static_cast<QWidget *>(untilLabel), static_cast<QWidget *>(m_until),
                       static_cast<QWidget *>(modeLabel), static_cast<QWidget *>(m_mode)})
        layout->addWidget(w, w == m_search ? 1 : 0);

    auto restart = [this] { m_filterDelay.start(); };
    connect(m_search, &QLineEdit::textChanged, this, restart);
    connect(m_since, &QDateEdit::dateChanged, this, restart);
    connect(m_until, &QDateEdit::dateChanged, this, restart);
    connect(m_mode, &QComboBox::currentIndexChanged, this, restart);
    return row;
}

QWidget *frmArchive::buildButtons()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("archiveStatus"));
    m_open = new QPushButton(QStringLiteral("&Open"));
    m_open->setObjectName(QStringLiteral("archiveOpen"));
    m_delete = new QPushButton(QStringLiteral("&Delete"));
    m_delete->setObjectName(QStringLiteral("archiveDelete"));
    auto *close = new QPushButton(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("archiveClose"));
    layout->addWidget(m_status, 1);
    layout->addWidget(m_open);
    m_actions = new ArchiveActions(*this, m_archiver, m_messages);
    layout->addWidget(m_actions->buttons());
    layout->addWidget(m_delete);
    layout->addWidget(close);
    connect(m_open, &QPushButton::clicked, this, &frmArchive::openSelected);
    connect(m_delete, &QPushButton::clicked, this, &frmArchive::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

ArchiveFilter frmArchive::currentFilter() const
{
    ArchiveFilter filter;
    filter.text = m_search->text().trimmed();
    if (m_since->date() != kAnyDate) filter.since = m_since->date();
    if (m_until->date() != kAnyDate) filter.until = m_until->date();
    const int mode = m_mode->currentData().toInt();
    if (mode >= 0) filter.mode = mode;
    return filter;
}

QList<qint64> frmArchive::selectedIds() const
{
    QList<qint64> ids;
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex &index : rows)
        ids << m_model.entryAt(index.row()).id;
    return ids;
}

void frmArchive::refresh()
{
    if (!m_archiver.archive()) return;
    // Rows archived above the first one in view would push the user's rows down: the view
    // stays on them, unless it was at the top, where the newest downloads appear.
    const QModelIndex top = m_table->indexAt(QPoint(0, 0));
    const qint64 topId = m_table->verticalScrollBar()->value() > 0 && top.isValid()
                             ? m_model.entryAt(top.row()).id
                             : 0;
    m_model.refresh();
    const int row = topId ? m_model.rowOf(topId) : -1;
    if (row >= 0 && row != top.row())
        m_table->scrollTo(m_model.index(row, top.column()), QAbstractItemView::PositionAtTop);
}

void frmArchive::openSelected()
{
    const QList<qint64> ids = selectedIds();
    if (ids.size() != 1) return;
    QString error;
    // A team member's download opens from the copy this computer keeps of it.
    const std::optional<qint64> id =
        m_teamPanel->showingTeam() ? m_teamPanel->bringHome(ids.first(), &error) : ids.first();
    if (!id) {
        m_messages.show(windowTitle(), error, MessageIcon::Exclamation);
        return;
    }
    if (m_archiver.openEntry(*id) && parentWidget()) {
        parentWidget()->raise();
        parentWidget()->activateWindow();
    }
}

void frmArchive::deleteSelected()
{
    const QList<qint64> ids = selectedIds();
    Archive *archive = m_teamPanel->showingTeam() ? m_model.archive() : m_archiver.archive();
    if (ids.isEmpty() || !archive) return;
    const QString what = ids.size() == 1
                             ? QStringLiteral("the selected download")
                             : QStringLiteral("the %1 selected downloads").arg(ids.size());
    if (m_messages.show(
            windowTitle(),
            QStringLiteral("Delete %1 from the archive? This cannot be undone.").arg(what),
            MessageIcon::Exclamation, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    QString error;
    for (const qint64 id : ids) {
        if (!archive->remove(id, &error)) {
            m_messages.show(windowTitle(), error, MessageIcon::Exclamation);
            break;
        }
    }
    m_model.refresh();
}

void frmArchive::showStatus()
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    const int selected = int(rows.size());
    // A live run has readings but no data file to open.
    m_open->setEnabled(selected == 1 && !m_model.entryAt(rows.first().row()).live());
    m_delete->setEnabled(selected > 0);
    if (!m_archiver.enabled()) {
        m_status->setText(QStringLiteral("Archiving is off."));
    } else if (!m_model.error().isEmpty()) {
        m_status->setText(m_model.error());
    } else {
        m_status->setText(m_model.total() == 1
                              ? QStringLiteral("1 download")
                              : QStringLiteral("%1 downloads").arg(m_model.total()));
    }
}
