#include "link/PortDiscovery.h"

QString DiscoveredPort::usbIds() const
{
    if (vendorId < 0 || productId < 0) return QString();
    return QStringLiteral("%1:%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'));
}
