#include "cli/PortOptions.h"

#include "app/Program.h"
#include "cli/Args.h"
#include "link/DevicePort.h"

#include <QRegularExpression>

namespace {
const int kBauds[] = {4800, 9600, 19200, 38400};
}

int baudIndexOf(int baud)
{
    for (int i = 0; i < 4; ++i) {
        if (kBauds[i] == baud) return i + 1;
    }
    return 0;
}

int comPortNumber(const QString &device)
{
    static const QRegularExpression com(QStringLiteral("^COM([1-6])$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(device);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString readPortOptions(const Args &args, PortOptions *o)
{
    o->device = args.value("--port");
    if (o->device.isEmpty())
        return QStringLiteral("--port names the device (/dev/ttyUSB0, COM1 ...)");
    // COM7 would otherwise be taken for a file of that name in the working directory.
    static const QRegularExpression comLike(QStringLiteral("^COM[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (comLike.match(o->device).hasMatch() && !comPortNumber(o->device))
        return QStringLiteral("--port %1: the program's ports are COM1 to COM6; name any other "
                              "device by its path")
            .arg(o->device);
    // 38400 lies beyond the 16-bit numbers of the program's own variables.
    bool baudOk = false;
    o->baud = args.value("--baud", "9600").toInt(&baudOk);
    if (!baudOk || baudIndexOf(o->baud) == 0)
        return QStringLiteral("--baud takes 4800, 9600, 19200 or 38400");
    const QString link = args.value("--link", "ir");
    if (link != QLatin1String("ir") && link != QLatin1String("bt"))
        return QStringLiteral("--link takes ir or bt");
    o->linkType = link == QLatin1String("ir") ? 1 : 2;
    return QString();
}

void applyPortOptions(const PortOptions &o, Program &program, DevicePort &port)
{
    program.model.BaudIndex = static_cast<qint16>(baudIndexOf(o.baud));
    program.model.LinkType = static_cast<qint16>(o.linkType);
    port.setSettings(QStringLiteral("%1,N,8,1").arg(o.baud));
    if (const int number = comPortNumber(o.device)) {
        program.model.PortNumber = static_cast<qint16>(number);
        port.setPortNumber(program.model.PortNumber);
    } else {
        port.setDeviceOverride(o.device);
    }
}
