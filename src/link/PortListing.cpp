#include "link/PortListing.h"

#include "link/PortResolver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue idOrNull(int id)
{
    return id < 0 ? QJsonValue()
                  : QJsonValue(QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')));
}

QString sourceName(PortSource source)
{
    switch (source) {
    case PortSource::Environment:
        return QStringLiteral("environment");
    case PortSource::Assigned:
        return QStringLiteral("assigned");
    case PortSource::Standard:
        break;
    }
    return QStringLiteral("standard");
}
} // namespace

QByteArray PortListing::text() const
{
    QStringList lines;
    for (int com = 1; com <= PortAssignments::kComCount; ++com) {
        const ResolvedPort r = m_resolver.resolve(com);
        lines << QStringList{QStringLiteral("COM%1").arg(com), r.device, r.state(), r.origin()}
                     .join(QLatin1Char('\t'));
    }
    lines << QString();
    for (const DiscoveredPort &port : m_resolver.ports()) {
        const int com = m_resolver.assignments().comOf(port);
        lines << QStringList{port.device,
                             orDash(port.description),
                             orDash(port.manufacturer),
                             orDash(port.serialNumber),
                             orDash(port.usbIds()),
                             port.busy ? QStringLiteral("busy") : QStringLiteral("free"),
                             com ? QStringLiteral("COM%1").arg(com) : QStringLiteral("-")}
                     .join(QLatin1Char('\t'));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QByteArray PortListing::json() const
{
    QJsonArray coms;
    for (int com = 1; com <= PortAssignments::kComCount; ++com) {
        const ResolvedPort r = m_resolver.resolve(com);
        coms.append(QJsonObject{{QStringLiteral("com"), com},
                                {QStringLiteral("device"), r.device},
                                {QStringLiteral("present"), r.present},
                                {QStringLiteral("busy"), r.busy},
                                {QStringLiteral("source"), sourceName(r.source)},
                                {QStringLiteral("serial"), orNull(r.assignment.serialNumber)}});
    }
    QJsonArray ports;
    for (const DiscoveredPort &port : m_resolver.ports()) {
        const int com = m_resolver.assignments().comOf(port);
        ports.append(QJsonObject{{QStringLiteral("device"), port.device},
                                 {QStringLiteral("name"), orNull(port.name)},
                                 {QStringLiteral("description"), orNull(port.description)},
                                 {QStringLiteral("manufacturer"), orNull(port.manufacturer)},
                                 {QStringLiteral("serial"), orNull(port.serialNumber)},
                                 {QStringLiteral("vendorId"), idOrNull(port.vendorId)},
                                 {QStringLiteral("productId"), idOrNull(port.productId)},
                                 {QStringLiteral("busy"), port.busy},
                                 {QStringLiteral("com"), com ? QJsonValue(com) : QJsonValue()}});
    }
    const QJsonObject root{{QStringLiteral("com"), coms}, {QStringLiteral("ports"), ports}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}
