#include "TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The server binaries: pg_config's answer where it has one, else the newest installed major.
QString binDir()
{
    QProcess config;
    config.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
    if (config.waitForFinished(10000) && config.exitCode() == 0) {
        const QString dir = QString::fromLocal8Bit(config.readAllStandardOutput()).trimmed();
        if (QFile::exists(dir + QStringLiteral("/initdb"))) return dir;
    }
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList majors = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(majors.begin(), majors.end(),
              [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &major : majors) {
        const QString dir = versions.filePath(major + QStringLiteral("/bin"));
        if (QFile::exists(dir + QStringLiteral("/initdb"))) return dir;
    }
    return QString();
}

} // namespace

// The server may still lose it to another: start() retries.
int TestServer::freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

namespace {

const passwd *serverUser()
{
    return geteuid() == 0 ? getpwnam("nobody") : nullptr;
}
} // namespace

TestServer::TestServer(const QString &dir, bool durable)
    : m_dir(dir), m_bin(binDir()), m_durable(durable)
{
}

TestServer::~TestServer()
{
    QString ignored;
    if (m_running) stop(true, &ignored);
    QDir(m_dir).removeRecursively();
}

QString TestServer::dataDir() const
{
    return m_dir + QStringLiteral("/data");
}

void TestServer::stopLeftover(const QString &dir)
{
    QFile pidFile(dir + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) return;
    const pid_t pid = pidFile.readLine().trimmed().toInt();
    if (pid <= 1) return;
    ::kill(pid, SIGQUIT); // the postmaster's immediate shutdown
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
        QThread::msleep(100);
}

bool TestServer::run(const QString &tool, const QStringList &args, QString *error) const
{
    QProcess process;
    process.setWorkingDirectory(m_dir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString program = m_bin + QLatin1Char('/') + tool;
    if (serverUser())
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                  QStringLiteral("--"), program} +
                          args);
    else
        process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error =
            QStringLiteral("%1 failed: %2").arg(tool, QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool TestServer::start(QString *error)
{
    if (m_bin.isEmpty()) {
        *error = QStringLiteral("no PostgreSQL server binaries (initdb) are installed");
        return false;
    }
    stopLeftover(m_dir);
    QDir(m_dir).removeRecursively();
    if (!QDir().mkpath(m_dir)) {
        *error = QStringLiteral("cannot make %1").arg(m_dir);
        return false;
    }
    if (const passwd *user = serverUser()) {
        if (::chown(QFile::encodeName(m_dir).constData(), user->pw_uid, user->pw_gid) != 0) {
            *error = QStringLiteral("cannot hand %1 to the user nobody").arg(m_dir);
            return false;
        }
    }
    ::chmod(QFile::encodeName(m_dir).constData(), 0700);
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QStringLiteral("postgres"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
              QStringLiteral("-A"), QStringLiteral("trust")},
             error))
        return false;
    QFile hba(dataDir() + QStringLiteral("/pg_hba.conf"));
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        hba.write("host all postgres 127.0.0.1/32 trust\n"
                  "host all all 127.0.0.1/32 scram-sha-256\n") < 0)
        return false;
    hba.close();
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = freePort();
        QFile conf(dataDir() + QStringLiteral("/postgresql.auto.conf"));
        if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        conf.write(QStringLiteral("port = %1\nlisten_addresses = '127.0.0.1'\n"
                                  "unix_socket_directories = ''\nfsync = %2\n"
                                  "max_connections = 60\n")
                       .arg(m_port)
                       .arg(m_durable ? QLatin1String("on") : QLatin1String("off"))
                       .toUtf8());
        conf.close();
        if (restart(error)) return true;
    }
    return false;
}

bool TestServer::restart(QString *error)
{
    m_running = run(QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                     m_dir + QStringLiteral("/server.log"), QStringLiteral("-w"),
                     QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                    error);
    return m_running;
}

bool TestServer::stop(bool immediate, QString *error)
{
    const bool stopped = run(
        QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), dataDir(), QStringLiteral("-w"), QStringLiteral("-m"),
         immediate ? QStringLiteral("immediate") : QStringLiteral("fast"), QStringLiteral("stop")},
        error);
    if (stopped) m_running = false;
    return stopped;
}

QString TestServer::url(const QString &user, const QString &database) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(user).arg(m_port).arg(database);
}

QStringList TestServer::sql(const QString &database, const QStringList &statements,
                            QString *error) const
{
    const QString name = QUuid::createUuid().toString();
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(m_port);
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(database);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            for (const QString &statement : statements) {
                values.clear();
                if (!q.exec(statement)) {
                    *error = statement + QStringLiteral(": ") + q.lastError().text();
                    break;
                }
                while (q.next())
                    values << q.value(0).toString();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}
