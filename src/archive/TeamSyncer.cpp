#include "archive/TeamSyncer.h"

#include "archive/TeamSync.h"

#include <QUrl>
#include <memory>

// Lives on the syncer's thread; its archives are opened there and used only there.
class TeamSyncWorker : public QObject {
    Q_OBJECT
public:
    void pass(const QString &localLocation, const QString &teamLocation)
    {
        QString error;
        TeamSync::Report report;
        bool teamFault = true;
        bool ok = openBoth(localLocation, teamLocation, &error);
        if (ok) ok = TeamSync::pushAll(*m_local, *m_team, &report, {}, &error, &teamFault);
        int waiting = 0;
        if (!ok) {
            m_team.reset(); // a fresh connection next time
            if (m_local) waiting = TeamSync::waiting(*m_local, teamLocation);
        }
        emit done(ok, report.pushed, waiting, error);
    }

signals:
    void done(bool ok, int added, int waiting, const QString &error);

private:
    bool openBoth(const QString &localLocation, const QString &teamLocation, QString *error)
    {
        if (!m_local || m_local->location() != localLocation) {
            m_local = std::make_unique<Archive>();
            if (!m_local->open(localLocation, error)) {
                m_local.reset();
                return false;
            }
        }
        if (!m_team || m_team->location() != teamLocation) {
            m_team = std::make_unique<Archive>();
            if (!m_team->open(teamLocation, error)) {
                m_team.reset();
                return false;
            }
        }
        return true;
    }

    std::unique_ptr<Archive> m_local;
    std::unique_ptr<Archive> m_team;
};

TeamSyncer::TeamSyncer(QObject *parent) : QObject(parent), m_worker(new TeamSyncWorker)
{
    setObjectName(QStringLiteral("teamSyncer"));
    m_worker->moveToThread(&m_thread);
    connect(this, &TeamSyncer::passRequested, m_worker, &TeamSyncWorker::pass);
    connect(m_worker, &TeamSyncWorker::done, this, &TeamSyncer::onPassDone);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_team.isEmpty()) return;
        if (m_busy) {
            m_again = true;
            return;
        }
        m_busy = true;
        emit passRequested(m_local, m_team);
    });
    m_thread.start();
}

TeamSyncer::~TeamSyncer()
{
    // The worker's connections belong to its thread: they are closed there, after a push
    // under way has ended.
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void TeamSyncer::start(const QString &localLocation, const QString &teamLocation)
{
    m_local = localLocation;
    m_team = teamLocation;
    m_retryMs = kFirstRetryMs;
    m_online = false;
    if (m_team.isEmpty()) {
        m_timer.stop();
        m_status.clear();
    } else {
        m_status = QStringLiteral("Connecting to the team archive %1.")
                       .arg(QUrl(m_team).toDisplayString(QUrl::RemovePassword));
        m_timer.start(0);
    }
    emit statusChanged();
}

void TeamSyncer::pushSoon()
{
    if (m_team.isEmpty()) return;
    if (m_busy) {
        m_again = true;
        return;
    }
    // A burst of readings of a live run gives one push, not one per reading; a server that
    // is down keeps its back-off.
    if (m_online && (!m_timer.isActive() || m_timer.remainingTime() > kSoonMs))
        m_timer.start(kSoonMs);
}

void TeamSyncer::onPassDone(bool ok, int added, int waiting, const QString &error)
{
    m_busy = false;
    const QString when = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    const QString team = QUrl(m_team).toDisplayString(QUrl::RemovePassword);
    m_online = ok;
    if (ok) {
        m_retryMs = kFirstRetryMs;
        m_status = QStringLiteral("Team archive %1: up to date at %2 (%3 pushed).")
                       .arg(team, when)
                       .arg(added);
        m_timer.start(m_again ? kSoonMs : kCheckMs);
    } else {
        m_status = QStringLiteral("Working offline since %1: %2 %3 download(s) wait to be pushed; "
                                  "trying again in %4 s.")
                       .arg(when, error)
                       .arg(waiting)
                       .arg(m_retryMs / 1000);
        m_timer.start(m_retryMs);
        m_retryMs = std::min(m_retryMs * 2, kLongestRetryMs);
    }
    m_again = false;
    emit statusChanged();
    if (added > 0) emit pushed(added);
}

#include "TeamSyncer.moc"
