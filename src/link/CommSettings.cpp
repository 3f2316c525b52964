#include "link/CommSettings.h"

#include "files/BoundedRead.h"
#include "files/FileNames.h"
#include "files/SafeWrite.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "link/Commands.h"
#include "link/Pauses.h"
#include "link/SerialPort.h"
#include "protocol/Numbers.h"

#include <QFileInfo>
#include <QtDebug>

const char *const CommSettings::kFileName = "set508_21.txt";

namespace {
constexpr int kDefaultBaudIndex = 2;
constexpr int kDefaultPortNumber = 1;
constexpr int kDefaultLinkType = 1;
// Three short lines; a file beyond this is not a settings file, whatever it holds.
constexpr qint64 kMaxFileSize = 4096;

bool validBaudIndex(int index)
{
    return index >= 1 && index <= 4;
}

bool validPortNumber(int number)
{
    return number >= 1 && number <= 6;
}

QString fileName()
{
    return QString::fromLatin1(CommSettings::kFileName);
}

// The value of one line, or the fallback when the line is missing or no whole number.
qint16 lineValue(const QList<QByteArray> &lines, int index, int fallback)
{
    if (index >= lines.size()) return static_cast<qint16>(fallback);
    const QString text = QString::fromLatin1(lines.at(index)).trimmed();
    return static_cast<qint16>(parseWholeNumber(text).value_or(fallback));
}
} // namespace

CommSettings::CommSettings(ScreenModel &model, SerialPort &port, const Pauses &pauses,
                           MessageSink &messages)
    : m_model(model), m_port(port), m_pauses(pauses), m_messages(messages)
{
}

QString CommSettings::settingsString(int baudIndex)
{
    static const char *const kSettings[] = {"4800,N,8,1", "9600,N,8,1", "19200,N,8,1",
                                            "38400,N,8,1"};
    return validBaudIndex(baudIndex) ? QString::fromLatin1(kSettings[baudIndex - 1]) : QString();
}

void CommSettings::load()
{
    ScreenModel &m = m_model;
    QByteArray bytes;
    QString error;
    if (!FileNames::exists(fileName()) || !readBounded(fileName(), kMaxFileSize, &bytes, &error)) {
        if (!error.isEmpty()) qWarning("%s", qPrintable(error)); // start-up goes on regardless
        m.BaudIndex = kDefaultBaudIndex;
        m.PortNumber = kDefaultPortNumber;
        m.LinkType = kDefaultLinkType;
        return;
    }
    const QList<QByteArray> lines = bytes.split('\n');
    m.BaudIndex = lineValue(lines, 0, kDefaultBaudIndex);
    m.PortNumber = lineValue(lines, 1, kDefaultPortNumber);
    m.LinkType = lineValue(lines, 2, kDefaultLinkType);
    applyToPort();
}

bool CommSettings::save(QString *error)
{
    const ScreenModel &m = m_model;
    const QByteArray bytes = QByteArray::number(m.BaudIndex) + "\r\n" +
                             QByteArray::number(m.PortNumber) + "\r\n" +
                             QByteArray::number(m.LinkType) + "\r\n";
    QString reason;
    if (writeWholeFile(fileName(), bytes, &reason)) return true;
    if (error) *error = reason;
    return false;
}

void CommSettings::prepareSetup()
{
    if (m_port.isOpen()) {
        m_pauses.shortPause();
        sendCommand(m_port, QStringLiteral("QTP"));
        for (int i = 0; i < 3; ++i)
            m_pauses.shortPause();
        m_port.close();
    }
    m_model.cmdStart.caption = QStringLiteral("Start");
    m_model.notify();
}

CommChoice CommSettings::currentChoice() const
{
    const ScreenModel &m = m_model;
    CommChoice choice;
    if (validBaudIndex(m.BaudIndex)) choice.baudIndex = m.BaudIndex;
    if (validPortNumber(m.PortNumber)) choice.portNumber = m.PortNumber;
    if (m.LinkType == 1 || m.LinkType == 2) choice.linkType = m.LinkType;
    return choice;
}

void CommSettings::apply(const CommChoice &choice)
{
    ScreenModel &m = m_model;
    if (validBaudIndex(choice.baudIndex)) m.BaudIndex = static_cast<qint16>(choice.baudIndex);
    if (validPortNumber(choice.portNumber)) m.PortNumber = static_cast<qint16>(choice.portNumber);
    if (choice.linkType == 1 || choice.linkType == 2)
        m.LinkType = static_cast<qint16>(choice.linkType);
    applyToPort();
}

void CommSettings::accept(const CommChoice &choice)
{
    apply(choice);
    QString error;
    if (!save(&error)) {
        const QString path = QFileInfo(fileName()).absoluteFilePath();
        m_messages.show(QStringLiteral("Communication Setup"),
                        QStringLiteral("The settings are in use but could not be saved to "
                                       "\"%1\": %2")
                            .arg(path, error),
                        MessageIcon::Exclamation);
    }
    m_model.frmMain.enabled = true;
    m_model.notify();
}

// A value out of range leaves the port's number or speed as it was.
void CommSettings::applyToPort()
{
    const ScreenModel &m = m_model;
    if (validPortNumber(m.PortNumber)) m_port.setPortNumber(m.PortNumber);
    if (validBaudIndex(m.BaudIndex)) m_port.setSettings(settingsString(m.BaudIndex));
}
