#pragma once

#include "archive/Archive.h"

#include <functional>

// Pushes what a local archive holds to the team archive on a server: every download and every
// ended live run, each in a transaction of its own on the server and recorded in the local
// archive once it is there. The key of each (its data file's SHA-256, a live run's key) makes
// a repeated push add nothing, so a push cut short anywhere (the server restarted, the
// connection lost, the program killed) is simply done again. The local archive is only read,
// besides the record of what was pushed.
//
// Who archived each download is the server's business: it records the role that pushed it.
// No password is ever stored: the server's password file (~/.pgpass or PGPASSFILE) supplies it.
class TeamSync {
public:
    // The program's own setting naming the team archive (QSettings, user scope).
    static constexpr const char *kSettingsKey = "archive/team";

    // NRV508_TEAM_ARCHIVE, else the setting; empty when no team archive is configured.
    static QString configuredLocation();
    // Stores the team archive's URL in the settings (empty: none); one that carries a password
    // is refused.
    static bool configure(const QString &location, QString *error);
    // A postgresql:// URL with no password in it; otherwise why not, for the user.
    static QString checkLocation(const QString &location);
    // How the local archive names a team archive in its record of pushes: host:port/database.
    static QString teamKey(const QString &location);

    struct Report {
        int pushed = 0;     // added to the team archive by this push
        int existed = 0;    // already there (pushed before, or by someone else)
        int relabelled = 0; // already there, and given the labels changed here since
        int waiting = 0;    // still to push when the push stopped
    };
    // Called after each download has reached the team archive; added.id is its id there.
    using Progress = std::function<void(const ArchiveEntry &entry, const Archive::Added &added)>;

    // One pass over everything not yet pushed, oldest first: a download whose labels changed
    // here after it was pushed is pushed again, and its copy in the team archive takes the new
    // labels if this user archived it there. Stops at the first failure, with
    // *teamFault telling a failure of the team archive (worth trying again later) from one of
    // the local archive.
    static bool pushAll(Archive &local, Archive &team, Report *report, const Progress &progress,
                        QString *error, bool *teamFault);

    // How many downloads of local the team archive still lacks.
    static int waiting(Archive &local, const QString &teamLocation);

    // Opens the team archive and pushes, trying again after a failure of the server (attempts
    // in all, waiting 0.5 s, 1 s, 2 s... in between). For a script; blocks.
    static bool pushWithRetry(Archive &local, const QString &teamLocation, int attempts,
                              Report *report, const Progress &progress, QString *error);

private:
    static bool pushPending(Archive &local, Archive &team, Report *report, const Progress &progress,
                            QString *error, bool *teamFault);
};
