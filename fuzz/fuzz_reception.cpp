// Arbitrary bytes, cut into arbitrary bursts, through the reception pass of every mode. One
// program lives across inputs, as it does across downloads, so state left behind by one
// input meets the next.
#include "QuietMessages.h"
#include "app/MessageSink.h"
#include "app/Program.h"
#include "link/DevicePort.h"
#include "link/ReceiveEvent.h"

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

namespace {
struct World {
    DevicePort port;
    QuietMessages messages;
    Program program{port, messages};
    World() { program.startUp(); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_reception";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static World world;
    if (size < 2) return 0;
    // First byte: the mode; second: how many bursts the rest is cut into.
    world.program.modes.switchTo(data[0] % 12);
    const int bursts = 1 + data[1] % 8;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), int(size - 2));
    const int step = bytes.size() / bursts + 1;
    for (int pos = 0; pos < bytes.size(); pos += step) {
        takeReceived(world.program.model, bytes.mid(pos, step));
        world.program.reception.run();
        if (!world.program.model.frmMain.enabled)
            __builtin_trap(); // a pass must always give the main window back
    }
    return 0;
}
