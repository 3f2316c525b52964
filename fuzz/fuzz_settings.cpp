// Arbitrary contents of the settings file through LoadCommSettings. Whatever the file holds,
// the variables end up as whole 16-bit numbers and the port only ever gets a valid setting.
#include "QuietMessages.h"
#include "app/MessageSink.h"
#include "app/Program.h"
#include "link/CommSettings.h"
#include "link/DevicePort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {
struct World {
    QTemporaryDir dir;
    DevicePort port;
    QuietMessages messages;
    Program program{port, messages};
};
World *world = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    world = new World;
    return QDir::setCurrent(world->dir.path()) ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile file(QString::fromLatin1(CommSettings::kFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    DevicePort &port = world->port;
    CommSettings settings(world->program.model, port, world->program.pauses, world->messages);
    settings.load();
    // Whatever the file holds, the port only ever takes a valid number and speed.
    if (port.portNumber() < 1 || port.portNumber() > 6 || port.settings().isEmpty())
        __builtin_trap();
    return 0;
}
