#pragma once

#include <QString>
#include <map>
#include <memory>

class QLockFile;

// Tells the live runs that a running program is recording from runs left open by a program
// that was killed, or closed after the cable was pulled: the recording program holds a lock
// file beside the archive for each run from before the run is committed until after its end
// is. A lock file whose process is gone on this computer is stale and can be taken over; one
// made on another computer is never taken, so a run recorded elsewhere is never ended here.
// Archives on a server lock nothing: runs are recorded into a computer's own archive file.
class LiveRunLocks {
public:
    LiveRunLocks();
    ~LiveRunLocks();
    LiveRunLocks(const LiveRunLocks &) = delete;
    LiveRunLocks &operator=(const LiveRunLocks &) = delete;

    // The archive file whose runs are locked; empty: none (a server).
    void setArchive(const QString &location);

    // Locks the run with this key for this program; false, with the reason, if it cannot.
    bool hold(const QString &key, QString *error);
    // The run is committed under id: release(id) lets it go.
    void held(const QString &key, qint64 id);
    void release(const QString &key);
    void release(qint64 id);
    void releaseAll();
    bool holds(qint64 id) const;

    // Locks a run that no running program records; the lock goes with the returned object
    // (nullptr: the run is being recorded, or nothing is locked here).
    std::unique_ptr<QLockFile> takeAbandoned(const QString &key) const;

private:
    QString path(const QString &key) const;

    QString m_location;
    std::map<QString, std::unique_ptr<QLockFile>> m_held; // by run key
    std::map<qint64, QString> m_keys;                     // run id to key
};
