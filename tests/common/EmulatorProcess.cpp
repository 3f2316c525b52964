#include "common/EmulatorProcess.h"

#include <QFile>

QString EmulatorProcess::binary()
{
#ifdef NRV508_EMU_BINARY
    return QStringLiteral(NRV508_EMU_BINARY);
#else
    return QString();
#endif
}

bool EmulatorProcess::start(const QStringList &options, QString *error)
{
    if (binary().isEmpty()) {
        *error = QStringLiteral("this build has no emulator (NRV508_TOOLS=OFF)");
        return false;
    }
    m_process.setProgram(binary());
    m_process.setArguments(options + QStringList{QStringLiteral("--log"),
                                                 m_dir.filePath(QStringLiteral("requests.log"))});
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        *error = binary() + QStringLiteral(": ") + m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(5000)) {
            *error = QStringLiteral("the emulator named no device: ") +
                     QString::fromLocal8Bit(m_process.readAllStandardError());
            stop();
            return false;
        }
    }
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_device.isEmpty();
}

QStringList EmulatorProcess::requests() const
{
    QFile log(m_dir.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void EmulatorProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}
