#pragma once

#include <QObject>
#include <QThread>
#include <QTimer>

class TeamSyncWorker;

// Keeps the team archive up to date while the program runs: pushes (TeamSync) on a thread of
// its own, with connections of its own, so the windows never wait for the server. A push runs
// soon after something new was archived and every few minutes anyway; after a failure it is
// tried again after 5 s, then twice as long each time up to 5 minutes.
class TeamSyncer : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstRetryMs = 5000;
    static constexpr int kLongestRetryMs = 300000;
    static constexpr int kCheckMs = 300000;
    static constexpr int kSoonMs = 1000;

    explicit TeamSyncer(QObject *parent = nullptr);
    // Waits for a push under way to end its transaction.
    ~TeamSyncer() override;

    // Pushes the local archive at localLocation to the team archive at teamLocation; an empty
    // team location stops.
    void start(const QString &localLocation, const QString &teamLocation);
    QString teamLocation() const { return m_team; }
    // Something new entered the local archive.
    void pushSoon();

    bool online() const { return m_online; }
    // One sentence for the user: when the last push ended and how, or why it failed.
    QString status() const { return m_status; }
    int retryMs() const { return m_retryMs; }

signals:
    void statusChanged();
    // A push ended having added this many downloads to the team archive.
    void pushed(int added);
    void passRequested(const QString &local, const QString &team);

private:
    void onPassDone(bool ok, int added, int waiting, const QString &error);

    QThread m_thread;
    TeamSyncWorker *m_worker = nullptr;
    QTimer m_timer;
    QString m_local;
    QString m_team;
    bool m_busy = false;
    bool m_again = false;
    bool m_online = false;
    int m_retryMs = kFirstRetryMs;
    QString m_status;
};
