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
        "                     /dev/ttyS<n-1> unless NRV508_COM<n> names another device; on\n"
        "                     Windows the port COM<n> itself), or a device path such as\n"
        "                     /dev/ttyUSB0; required\n"
        "  --baud SPEED       4800, 9600, 19200 or 38400 (default 9600)\n"
        "  --link ir|bt       infrared adapter or Bluetooth serial port (default ir)\n");
}
