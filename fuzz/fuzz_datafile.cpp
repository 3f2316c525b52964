// Arbitrary file contents through the data-file reader, and what it accepts back through the
// writer: a file the reader takes must never crash either side.
#include "QuietMessages.h"
#include "app/MessageSink.h"
#include "app/Program.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_datafile";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static DevicePort port;
    static QuietMessages messages;
    static Program program(port, messages);

    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    DataFile::Contents contents;
    QString error;
    if (!DataFile::parse(bytes, QStringLiteral("fuzz"), &contents, &error)) return 0;
    DataFile::apply(contents, program.model);
    const QByteArray written = DataFile::serialize(program.model);
    // What the writer wrote for a saveable mode reads back to the same bytes: no value taken
    // from a line can hold a quote or a line end, so nothing can shift the counting.
    if (contents.mode >= 1 && contents.mode <= 11) {
        static Program second(port, messages);
        DataFile::Contents again;
        if (!DataFile::parse(written, QStringLiteral("again"), &again, &error)) __builtin_trap();
        DataFile::apply(again, second.model);
        if (DataFile::serialize(second.model) != written) __builtin_trap();
    }
    return 0;
}
