#include "cli/CliHelp.h"

#include "tables/Modes.h"

QString modeCodesHelp()
{
    QString text = QStringLiteral("Mode codes:\n");
    for (int code = Real; code <= Tightness; ++code) {
        const ModeInfo *mode = modeInfo(code);
        QString name;
        switch (mode->family) {
        case Family::Real:
            name = QStringLiteral("Real Mode (live readings)");
            break;
        case Family::Store:
            name = QStringLiteral("Store Mode");
            break;
        case Family::Logger:
            name = QStringLiteral("Logger Mode, page %1").arg(mode->page);
            break;
        case Family::SingleLogger:
            name = QStringLiteral("Single Logger Mode, page %1").arg(mode->page);
            break;
        case Family::Tightness:
        case Family::None:
            name = QStringLiteral("Tightness Mode");
            break;
        }
        text += QStringLiteral("  %1  %2\n").arg(code, 2).arg(name);
    }
    return text;
}

QString portOptionsHelp()
{
    return QStringLiteral(
        "  --port DEVICE      COM1 to COM6, resolved as the program resolves them (COM<n> is\n"
        "                     NRV508_COM<n> if set, else the port assigned to it in\n"
        "                     Communication Setup > Devices..., else /dev/ttyS<n-1>; on\n"
        "                     Windows the port COM<n> itself), serial:NUMBER for the adapter\n"
        "                     with that serial number (see nrv508-cli ports), or a device\n"
        "                     path such as /dev/ttyUSB0; required\n"
        "  --baud SPEED       4800, 9600, 19200 or 38400 (default 9600)\n"
        "  --link ir|bt       infrared adapter or Bluetooth serial port (default ir)\n");
}
