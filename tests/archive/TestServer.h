#pragma once

#include <QString>
#include <QStringList>

// A throw-away PostgreSQL cluster for the tests: made with initdb in a directory of its own,
// listening on a free loopback port, run by an unprivileged user when the tests run as root
// (the server refuses to run as root), stopped and removed when the object goes. Connections
// as the superuser "postgres" need no password; every other role logs in with its password,
// which the client finds in PGPASSFILE.
class TestServer {
public:
    // dir is used for this one cluster; a server left running there by a killed test run is
    // stopped first.
    // durable: commits reach the disk (fsync), as on a real server; otherwise they need only
    // survive the server process, which is all a test stops.
    explicit TestServer(const QString &dir, bool durable = false);
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    bool start(QString *error);
    // immediate: the server stops as if its machine had lost power (no shutdown checkpoint),
    // and every connection is dropped on the spot.
    bool stop(bool immediate, QString *error);
    bool restart(QString *error);
    bool running() const { return m_running; }

    int port() const { return m_port; }
    QString url(const QString &user, const QString &database) const;
    // Runs statements as the superuser in database; the first column of every row returned by
    // the last one, or nothing and the reason in *error.
    QStringList sql(const QString &database, const QStringList &statements, QString *error) const;

    // Stops the server whose postmaster.pid is under dir, if any (a CTest cleanup step calls
    // it too, for a run that was killed).
    static void stopLeftover(const QString &dir);
    // A loopback port nothing listens on now.
    static int freePort();

private:
    bool run(const QString &tool, const QStringList &args, QString *error) const;
    QString dataDir() const;

    QString m_dir;
    QString m_bin;
    bool m_durable = false;
    int m_port = 0;
    bool m_running = false;
};
