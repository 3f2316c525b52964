#pragma once

#include "archive/Archive.h"

#include <QObject>
#include <memory>

class MessageSink;
class ScreenModel;
class SerialPort;
class Transfer;

// Archives, once enabled, everything the program receives or reads, without standing in the
// way: every complete download the moment its table is filled, every data file opened or
// saved, and each live reading into one live run per Start. The archive is opened at the
// first thing to keep. A failure (full disk, locked or damaged archive) is told to the user
// once; the download stays on screen and can still be saved.
class Archiver : public QObject {
    Q_OBJECT
public:
    static constexpr const char *kTitle = "Archive";

    Archiver(ScreenModel &model, Transfer &transfer, SerialPort &port, MessageSink &messages);
    ~Archiver() override;

    // Starts archiving into the archive at location (see Archive::open). Off until then.
    void enable(const QString &location);
    bool enabled() const { return !m_location.isEmpty(); }
    QString location() const { return m_location; }

    // The open archive, opening it if need be; nullptr (after telling the user once) if it
    // cannot be opened.
    Archive *archive();

    // A data file was opened or saved: its bytes as they are on disk now.
    void fileKept(const QString &path);

    // Reads an archived download into the main window as "Open OK" reads its file; while a
    // download runs it does nothing, as Open does. True once read.
    bool openEntry(qint64 id);

    // Archive failures since enable(); the first one was told to the user.
    int failures() const { return m_failures; }
    // The live run being recorded, 0 when none.
    qint64 liveRun() const { return m_liveRun; }

signals:
    // Something entered the archive (a new download, or a reading of a live run).
    void archived(qint64 id);

private:
    void onReception();
    void onModelChanged();
    void archiveDownload();
    void archiveReading();
    void endLiveRun();
    QString sourceName() const;
    void report(const QString &error);

    ScreenModel &m_model;
    Transfer &m_transfer;
    SerialPort &m_port;
    MessageSink &m_messages;
    std::unique_ptr<Archive> m_archive;
    QString m_location;
    qint64 m_liveRun = 0;
    int m_liveReadings = 0;
    int m_failures = 0;
};
