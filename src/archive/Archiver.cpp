#include "archive/Archiver.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "link/Transfer.h"
#include "tables/Modes.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Far beyond any data file; a larger file is not read into the archive.
constexpr qint64 kMaxDataFile = 4 * 1024 * 1024;
} // namespace

Archiver::Archiver(ScreenModel &model, Transfer &transfer, SerialPort &port, MessageSink &messages)
    : m_model(model), m_transfer(transfer), m_port(port), m_messages(messages)
{
    connect(&transfer, &Transfer::receptionFinished, this, &Archiver::onReception);
    connect(&model, &ScreenModel::changed, this, &Archiver::onModelChanged);
}

Archiver::~Archiver()
{
    endLiveRun();
}

void Archiver::enable(const QString &location)
{
    endLiveRun();
    m_archive.reset();
    m_location = location;
    m_failures = 0;
}

Archive *Archiver::archive()
{
    if (!enabled()) return nullptr;
    if (m_archive) return m_archive.get();
    auto archive = std::make_unique<Archive>();
    QString error;
    if (!archive->open(m_location, &error)) {
        report(error);
        return nullptr;
    }
    if (!archive->setAsidePath().isEmpty())
        m_messages.show(QLatin1String(kTitle),
                        QStringLiteral("The archive \"%1\" was damaged. It was renamed to \"%2\" "
                                       "and a new archive was started.")
                            .arg(m_location, archive->setAsidePath()),
                        MessageIcon::Exclamation);
    // A live run that a killed copy of the program left open is ended now; failing that, the
    // next push to a team archive tries again.
    if (!archive->endAbandonedRuns(&error)) qWarning("%s", qPrintable(error));
    m_archive = std::move(archive);
    return m_archive.get();
}

void Archiver::onReception()
{
    if (!enabled() || !m_transfer.lastPassCompletedStream()) return;
    if (m_model.CurrentMode == Real) {
        if (m_transfer.state() == LinkState::Live) archiveReading();
        return;
    }
    archiveDownload();
}

void Archiver::onModelChanged()
{
    // Stop, a line fault or a mode switch ends the live run; the next Start begins a new one.
    if (m_liveRun != 0 && m_transfer.state() != LinkState::Live) endLiveRun();
}

void Archiver::archiveDownload()
{
    if (familyOf(m_model.CurrentMode) == Family::None) return;
    Archive *a = archive();
    if (!a) return;
    QString error;
    const auto added = a->addDataFile(DataFile::serialize(m_model),
                                      {QStringLiteral("port"), sourceName(), {}}, &error);
    if (!added) return report(error);
    if (!added->existed) emit archived(added->id);
}

void Archiver::archiveReading()
{
    Archive *a = archive();
    if (!a) return;
    QString error;
    if (m_liveRun == 0) {
        const auto run = a->beginLiveRun({QStringLiteral("live"), sourceName(), {}}, &error);
        if (!run) return report(error);
        m_liveRun = *run;
        m_liveReadings = 0;
    }
    const ReadingRows::Row row =
        ReadingRows::fromRealPanels(m_model, m_liveReadings + 1, QDateTime::currentDateTime());
    if (!a->appendReading(m_liveRun, row, &error)) return report(error);
    ++m_liveReadings;
    emit archived(m_liveRun);
}

void Archiver::endLiveRun()
{
    if (m_liveRun == 0) return;
    const qint64 run = m_liveRun;
    m_liveRun = 0;
    QString error;
    if (m_archive && !m_archive->endLiveRun(run, &error)) report(error);
}

void Archiver::fileKept(const QString &path)
{
    if (!enabled()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDataFile) return;
    const QByteArray bytes = file.readAll();
    Archive *a = archive();
    if (!a) return;
    QString error;
    const QFileInfo info(path);
    const auto added = a->addDataFile(
        bytes, {QStringLiteral("file"), info.absoluteFilePath(), info.lastModified()}, &error);
    if (!added) return report(error);
    if (!added->existed) emit archived(added->id);
}

bool Archiver::openEntry(qint64 id)
{
    if (m_model.cmdStart.caption != QLatin1String("Start")) return false;
    Archive *a = archive();
    if (!a) return false;
    QString error;
    DataFile::Contents contents;
    const std::optional<QByteArray> bytes = a->dataFile(id, &error);
    if (!bytes || !DataFile::parse(*bytes, QStringLiteral("archived download %1").arg(id),
                                   &contents, &error)) {
        m_messages.show(QLatin1String(kTitle), error, MessageIcon::Exclamation);
        return false;
    }
    DataFile::apply(contents, m_model);
    m_model.notify();
    return true;
}

QString Archiver::sourceName() const
{
    if (const auto *device = dynamic_cast<const DevicePort *>(&m_port)) return device->device();
    return QStringLiteral("COM%1").arg(m_port.portNumber());
}

void Archiver::report(const QString &error)
{
    // Told once: a download every minute into a full disk must not bury the user in boxes.
    if (m_failures++ > 0) return;
    m_messages.show(QLatin1String(kTitle),
                    error + QStringLiteral(" What was received is still shown and can be saved."),
                    MessageIcon::Exclamation);
}
