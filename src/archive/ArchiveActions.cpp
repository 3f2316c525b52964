#include "archive/ArchiveActions.h"

#include "app/MessageSink.h"
#include "archive/Archiver.h"
#include "archive/PickOrder.h"
#include "archive/frmArchive.h"
#include "charts/ChartPages.h"
#include "charts/frmChart.h"
#include "export/ArchiveExport.h"
#include "export/CsvOptionsDialog.h"
#include "export/ExportMenu.h"
#include "export/ExportTable.h"
#include "trend/ArchivedRun.h"
#include "trend/TrendPanel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>

namespace {
const char kExport[] = "Export";
const char kChart[] = "Chart";
const char kTrend[] = "Trend";

// A progress window for work on many downloads; none for one.
std::unique_ptr<QProgressDialog> progressFor(QWidget *parent, int count)
{
    if (count < 2) return nullptr;
    auto dialog = std::make_unique<QProgressDialog>(QStringLiteral("Exporting downloads..."),
                                                    QStringLiteral("Cancel"), 0, count, parent);
    dialog->setWindowTitle(QString::fromLatin1(kExport));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(500);
    return dialog;
}
} // namespace

ArchiveActions::ArchiveActions(frmArchive &window, Archiver &archiver, MessageSink &messages)
    : QObject(&window), m_window(window), m_archiver(archiver), m_messages(messages)
{
    ArchiveTableModel &model = window.model();
    m_order = new PickOrder(
        window.table()->selectionModel(),
        [&model](int row) { return row < model.rowCount() ? model.entryAt(row).id : 0; }, this);
    m_buttons = buildButtons();
    connect(&window, &frmArchive::selectionChanged, this, &ArchiveActions::updateButtons);
    connect(window.table(), &QTableView::activated, this, [this](const QModelIndex &index) {
        // A live run has no data file to open; reopening it means its trend.
        if (!(m_window.model().flags(index) & Qt::ItemIsEditable) &&
            m_window.model().entryAt(index.row()).live())
            trendPicked();
    });
    updateButtons();
}

QWidget *ArchiveActions::buildButtons()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_export = new QPushButton(QStringLiteral("E&xport"));
    m_export->setObjectName(QStringLiteral("archiveExport"));
    auto *menu = new QMenu(m_export);
    menu->setObjectName(QStringLiteral("archiveExportMenu"));
    ExportMenu::addFormatActions(menu, "archiveExport",
                                 [this](ExportFormat format) { exportPicked(format); });
    m_export->setMenu(menu);
    m_chart = new QPushButton(QStringLiteral("C&hart"));
    m_chart->setObjectName(QStringLiteral("archiveChart"));
    m_chart->setToolTip(QStringLiteral("The selected logger pages as one series, in the order "
                                       "you picked them (Ctrl+click)"));
    m_trend = new QPushButton(QStringLiteral("T&rend"));
    m_trend->setObjectName(QStringLiteral("archiveTrend"));
    m_trend->setToolTip(QStringLiteral("The selected live run's readings over time"));
    layout->addWidget(m_export);
    layout->addWidget(m_chart);
    layout->addWidget(m_trend);
    connect(m_chart, &QPushButton::clicked, this, &ArchiveActions::chartPicked);
    connect(m_trend, &QPushButton::clicked, this, &ArchiveActions::trendPicked);
    return row;
}

void ArchiveActions::updateButtons()
{
    const QModelIndexList rows = m_window.table()->selectionModel()->selectedRows();
    int live = 0;
    for (const QModelIndex &index : rows)
        live += m_window.model().entryAt(index.row()).live() ? 1 : 0;
    m_export->setEnabled(!rows.isEmpty());
    m_chart->setEnabled(!rows.isEmpty() && live == 0);
    m_trend->setEnabled(rows.size() == 1 && live == 1);
}

QList<qint64> ArchiveActions::pickedIds() const
{
    return m_order->ids();
}

void ArchiveActions::tell(const QString &title, const QString &text, bool failure)
{
    m_messages.show(title, text, failure ? MessageIcon::Exclamation : MessageIcon::Information);
}

std::optional<ArchiveActions::Target> ArchiveActions::askTarget(ExportFormat format, int count)
{
    // A report is of one download; one download is one file either way.
    if (count == 1) return Target::All;
    if (format == ExportFormat::Pdf) return Target::Each;
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kExport),
                    QStringLiteral("Export the %1 selected downloads into one %2 file, or one "
                                   "file each into a folder?")
                        .arg(count)
                        .arg(Exporter::extension(format).toUpper()),
                    QMessageBox::Cancel, &m_window);
    QPushButton *all = box.addButton(QStringLiteral("One File with &All"), QMessageBox::YesRole);
    QPushButton *each = box.addButton(QStringLiteral("One File &Each"), QMessageBox::NoRole);
    box.setDefaultButton(all);
    box.exec();
    if (box.clickedButton() == all) return Target::All;
    if (box.clickedButton() == each) return Target::Each;
    return std::nullopt;
}

QString ArchiveActions::askPath(ExportFormat format, Target target, const QList<qint64> &ids)
{
    if (target == Target::Each)
        return QFileDialog::getExistingDirectory(&m_window,
                                                 QStringLiteral("Export into the folder"));
    QString name = QStringLiteral("archive.%1").arg(Exporter::extension(format));
    ExportTable first;
    QString error;
    if (ids.size() == 1 && m_archiver.archive() &&
        ArchiveExport::table(*m_archiver.archive(), ids.first(), &first, &error))
        name = ArchiveExport::fileName(ids.first(), first, format);
    return QFileDialog::getSaveFileName(&m_window, QString::fromLatin1(kExport),
                                        QDir::current().filePath(name),
                                        ExportMenu::fileFilter(format));
}

bool ArchiveActions::exportPicked(ExportFormat format, std::optional<Target> target,
                                  const QString &given)
{
    const QList<qint64> ids = pickedIds();
    Archive *archive = m_archiver.archive();
    if (ids.isEmpty() || !archive) return false;
    if (!target) target = askTarget(format, int(ids.size()));
    if (!target) return false;
    if (*target == Target::All && format == ExportFormat::Pdf && ids.size() > 1) {
        tell(QString::fromLatin1(kExport),
             QStringLiteral("A report is of one download; export several as one file each."), true);
        return false;
    }
    const QString path = given.isEmpty() ? askPath(format, *target, ids) : given;
    if (path.isEmpty()) return false;

    ExportSettings settings;
    settings.format = format;
    settings.csv = CsvOptionsDialog::saved();
    settings.header = ReportHeader::load();
    std::unique_ptr<QProgressDialog> progress = progressFor(&m_window, int(ids.size()));
    const ArchiveExport::Progress step = [&progress](int done, int) {
        if (!progress) return true;
        progress->setValue(done);
        return !progress->wasCanceled();
    };
    QString error;
    QStringList written;
    const bool ok =
        *target == Target::All
            ? ArchiveExport::writeAll(*archive, ids, path, settings, &error, step)
            : ArchiveExport::writeEach(*archive, ids, path, settings, &written, &error, step);
    progress.reset();
    if (!ok) {
        if (!error.isEmpty()) tell(QString::fromLatin1(kExport), error, true);
        return false;
    }
    if (*target == Target::Each && ids.size() > 1)
        tell(QString::fromLatin1(kExport),
             QStringLiteral("%1 files written into %2.")
                 .arg(written.size())
                 .arg(QDir::toNativeSeparators(path)),
             false);
    return true;
}

frmChart *ArchiveActions::chartPicked()
{
    const QList<qint64> ids = pickedIds();
    Archive *archive = m_archiver.archive();
    if (ids.isEmpty() || !archive) return nullptr;
    QList<ChartPages::Source> sources;
    QString error;
    for (const qint64 id : ids) {
        const std::optional<ArchiveEntry> entry = archive->entry(id, &error);
        const std::optional<QByteArray> bytes =
            entry ? archive->dataFile(id, &error) : std::optional<QByteArray>();
        if (!bytes) return tell(QString::fromLatin1(kChart), error, true), nullptr;
        const QString name = entry->origin == QLatin1String("file")
                                 ? QFileInfo(entry->source).fileName()
                                 : QStringLiteral("#%1").arg(id);
        sources.append({name, *bytes});
    }
    auto pages = std::make_unique<ChartPages>();
    if (!pages->load(sources, &error))
        return tell(QString::fromLatin1(kChart), error, true), nullptr;
    auto *chart = new frmChart(std::move(pages), m_printer, &m_window);
    chart->setAttribute(Qt::WA_DeleteOnClose);
    chart->show();
    return chart;
}

TrendPanel *ArchiveActions::trendPicked()
{
    const QList<qint64> ids = pickedIds();
    Archive *archive = m_archiver.archive();
    if (ids.size() != 1 || !archive) return nullptr;
    ArchivedRun run;
    QString error;
    if (!ArchivedRun::load(*archive, ids.first(), &run, &error))
        return tell(QString::fromLatin1(kTrend), error, true), nullptr;
    return TrendPanel::openArchivedRun(run, &m_window);
}
