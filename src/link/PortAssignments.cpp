#include "link/PortAssignments.h"

#include "app/ProgramSettings.h"

namespace {
QString groupOf(int com)
{
    return QStringLiteral("ports/COM%1").arg(com);
}

bool validCom(int com)
{
    return com >= 1 && com <= PortAssignments::kComCount;
}
} // namespace

bool PortAssignment::matches(const DiscoveredPort &port) const
{
    if (!bySerial()) return !device.isEmpty() && port.device == device;
    // Two makers may number their adapters alike; the USB ids tell them apart where known.
    return port.serialNumber == serialNumber && (vendorId < 0 || port.vendorId == vendorId) &&
           (productId < 0 || port.productId == productId);
}

PortAssignments PortAssignments::load()
{
    PortAssignments result;
    ProgramSettings settings;
    for (int com = 1; com <= kComCount; ++com) {
        settings.beginGroup(groupOf(com));
        PortAssignment &a = result.m_com[com - 1];
        a.device = settings.value(QStringLiteral("device")).toString();
        a.serialNumber = settings.value(QStringLiteral("serial")).toString();
        a.vendorId = settings.value(QStringLiteral("vendor"), -1).toInt();
        a.productId = settings.value(QStringLiteral("product"), -1).toInt();
        a.description = settings.value(QStringLiteral("description")).toString();
        settings.endGroup();
    }
    return result;
}

bool PortAssignments::save(QString *error) const
{
    ProgramSettings settings;
    for (int com = 1; com <= kComCount; ++com) {
        const PortAssignment &a = m_com[com - 1];
        settings.remove(groupOf(com));
        if (!a.isSet()) continue;
        settings.beginGroup(groupOf(com));
        settings.setValue(QStringLiteral("device"), a.device);
        settings.setValue(QStringLiteral("serial"), a.serialNumber);
        settings.setValue(QStringLiteral("vendor"), a.vendorId);
        settings.setValue(QStringLiteral("product"), a.productId);
        settings.setValue(QStringLiteral("description"), a.description);
        settings.endGroup();
    }
    settings.sync();
    if (settings.status() == QSettings::NoError) return true;
    if (error)
        *error = QStringLiteral("the settings file \"%1\" could not be written")
                     .arg(settings.fileName());
    return false;
}

PortAssignment PortAssignments::of(int com) const
{
    return validCom(com) ? m_com[com - 1] : PortAssignment();
}

void PortAssignments::assign(int com, const DiscoveredPort &port)
{
    if (!validCom(com)) return;
    for (PortAssignment &a : m_com) {
        if (a.isSet() && a.matches(port)) a = PortAssignment();
    }
    PortAssignment &a = m_com[com - 1];
    a.device = port.device;
    a.serialNumber = port.serialNumber;
    a.vendorId = port.vendorId;
    a.productId = port.productId;
    a.description = port.description;
}

void PortAssignments::clear(int com)
{
    if (validCom(com)) m_com[com - 1] = PortAssignment();
}

int PortAssignments::comOf(const DiscoveredPort &port) const
{
    for (int com = 1; com <= kComCount; ++com) {
        if (m_com[com - 1].isSet() && m_com[com - 1].matches(port)) return com;
    }
    return 0;
}

bool PortAssignments::operator==(const PortAssignments &o) const
{
    for (int i = 0; i < kComCount; ++i) {
        const PortAssignment &a = m_com[i];
        const PortAssignment &b = o.m_com[i];
        if (a.device != b.device || a.serialNumber != b.serialNumber || a.vendorId != b.vendorId ||
            a.productId != b.productId)
            return false;
    }
    return true;
}
