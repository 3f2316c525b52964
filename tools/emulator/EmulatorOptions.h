#pragma once

#include <QString>
#include <QStringList>

// What the emulator was asked to do on its command line.
struct EmulatorOptions {
    QString dataDir;         // where the stream files are read from
    int baud = 9600;         // line speed used for pacing; 10 bits per byte on the wire
    bool fast = false;       // no pacing at all
    int intervalMs = 1000;   // quiet time between two live readings
    qint64 hangupAfter = -1; // close the line after this many answer bytes; -1: never
    qint64 gapAfter = -1;    // pause every answer after this many of its bytes; -1: never
    int gapMs = 1000;        // length of that pause
    bool silent = false;     // never answer
    bool garbage = false;    // answer every request with random bytes
    QString logFile;         // every request received is appended here; empty: no log
    QString linkPath;        // a stable name kept pointing at the line; empty: none
    int replugAfterMs = -1;  // after a hang-up, a new line this much later; -1: never

    enum class Outcome { Run, Help, Error };

    // Fills `options` from the arguments (program name first). On Help, `message` holds the
    // usage; on Error, the reason followed by the usage.
    static Outcome parse(const QStringList &arguments, EmulatorOptions *options, QString *message);

    // The stream files installed beside the emulator (../share/nrv508/streams), else those of
    // the source tree it was built from.
    static QString defaultDataDir();
};
