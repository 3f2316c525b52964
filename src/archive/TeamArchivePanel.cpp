#include "archive/TeamArchivePanel.h"

#include "archive/Archive.h"
#include "archive/ArchiveTableModel.h"
#include "archive/Archiver.h"
#include "archive/TeamArchiveDialog.h"
#include "archive/TeamSync.h"
#include "archive/TeamSyncer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

TeamArchivePanel::TeamArchivePanel(ArchiveTableModel &model, Archiver &archiver, QWidget *parent)
    : QWidget(parent), m_model(model), m_archiver(archiver),
      m_location(TeamSync::configuredLocation())
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_box = new QCheckBox(QStringLiteral("Team &archive (everyone's downloads)"));
    m_box->setObjectName(QStringLiteral("archiveTeam"));
    m_state = new QLabel;
    m_state->setObjectName(QStringLiteral("archiveTeamState"));
    m_state->setWordWrap(true);
    auto *settings = new QPushButton(QStringLiteral("Team archive settin&gs..."));
    settings->setObjectName(QStringLiteral("archiveTeamSettings"));
    layout->addWidget(m_box);
    layout->addWidget(m_state, 1);
    layout->addWidget(settings);
    useLocation(m_location);
    connect(m_box, &QCheckBox::toggled, this, [this](bool on) { showTeam(on); });
    connect(settings, &QPushButton::clicked, this, &TeamArchivePanel::editSettings);
    if (auto *syncer = QCoreApplication::instance()->findChild<TeamSyncer *>())
        connect(syncer, &TeamSyncer::statusChanged, this, &TeamArchivePanel::showState);
    showState();
}

TeamArchivePanel::~TeamArchivePanel() = default;

bool TeamArchivePanel::showTeam(bool team)
{
    m_failure.clear();
    if (team && !m_team) {
        auto opened = std::make_unique<Archive>();
        if (opened->open(m_location, &m_failure)) m_team = std::move(opened);
    } else if (!team) {
        m_team.reset();
    }
    const QSignalBlocker quiet(m_box);
    m_box->setChecked(m_team != nullptr);
    m_model.setArchive(m_team ? m_team.get() : m_archiver.archive());
    showState();
    emit viewChanged(m_team != nullptr);
    return m_team != nullptr || !team;
}

std::optional<qint64> TeamArchivePanel::bringHome(qint64 teamId, QString *error)
{
    Archive *local = m_archiver.archive();
    if (!m_team || !local) return std::nullopt;
    const std::optional<StoredDownload> download = m_team->stored(teamId, error);
    if (!download) return std::nullopt;
    const std::optional<Archive::Added> added = local->adopt(*download, error);
    if (!added) return std::nullopt;
    return added->id;
}

void TeamArchivePanel::editSettings()
{
    TeamArchiveDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    showTeam(false);
    useLocation(TeamSync::configuredLocation());
    // The background push follows at once, not at the next start of the program.
    if (auto *syncer = QCoreApplication::instance()->findChild<TeamSyncer *>())
        syncer->start(m_archiver.location(), m_location);
    showState();
}

void TeamArchivePanel::useLocation(const QString &location)
{
    m_location = location;
    m_box->setEnabled(!m_location.isEmpty());
    m_box->setToolTip(m_location.isEmpty()
                          ? QStringLiteral("No team archive is configured (Team archive "
                                           "settings, or NRV508_TEAM_ARCHIVE)")
                          : QString());
}

QString TeamArchivePanel::state() const
{
    return m_state->text();
}

void TeamArchivePanel::showState()
{
    const QString shown = QUrl(m_location).toDisplayString(QUrl::RemovePassword);
    const auto *syncer = QCoreApplication::instance()->findChild<TeamSyncer *>();
    if (m_location.isEmpty())
        m_state->clear();
    else if (!m_failure.isEmpty())
        m_state->setText(QStringLiteral("Working offline: the team archive %1 cannot be reached "
                                        "(%2). This computer's downloads are kept here and "
                                        "pushed when it can be reached.")
                             .arg(shown, m_failure));
    else if (syncer && !syncer->status().isEmpty())
        m_state->setText(syncer->status());
    else if (m_team)
        m_state->setText(QStringLiteral("Everyone's downloads in the team archive %1.").arg(shown));
    else
        m_state->setText(QStringLiteral("This computer's downloads."));
}
