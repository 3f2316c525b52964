#pragma once

#include <QString>

// Whether the program can reach a team archive, told plainly for its settings window: the
// server answered and let this user in, answered and refused (with its own reason), or no
// server answers at that host and port. Only looks: it never makes or changes an archive.
class TeamConnection {
public:
    enum class Outcome { Reached, Refused, NoServer, NotAUrl };
    struct Result {
        Outcome outcome = Outcome::NotAUrl;
        QString message; // one or two sentences for the user
    };

    // Connects to location (postgresql://user@host:port/database) as the team archive's
    // push would, within a few seconds; blocks, so a window calls it off its own thread.
    static Result probe(const QString &location);

    // Where the password comes from: PGPASSFILE when set, else ~/.pgpass.
    static QString passwordFile();
    // The settings window's line about it.
    static QString passwordNote();

    // A connection failure's text from the client library, sorted out: the server's own
    // refusal, or no server at all.
    static Result classify(const QString &failure, const QString &where);
};
