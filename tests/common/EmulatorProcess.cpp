#include "common/EmulatorProcess.h"

#include <QFile>

bool EmulatorProcess::start(const QStringList &options, QString *error)
{
    m_process.start(binary(), options + QStringList{QStringLiteral("--log"), logPath()});
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
    }
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (m_device.isEmpty()) {
        *error = QStringLiteral("%1 named no device: %2 %3")
                     .arg(binary(), m_process.errorString(),
                          QString::fromLocal8Bit(m_process.readAllStandardError()));
        stop();
    }
    return !m_device.isEmpty();
}

QStringList EmulatorProcess::requests() const
{
    QFile log(logPath());
    if (!log.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void EmulatorProcess::stop()
{
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) m_process.kill();
    m_process.waitForFinished(3000);
}
