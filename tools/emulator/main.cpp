// nrv508-emu: emulates the combustion analyser on a pseudo-terminal.

#include "AnalyserEmulator.h"
#include "EmulatorOptions.h"
#include "platform/DeviceLink.h"
#include "platform/PseudoTerminal.h"
#include "platform/SignalWatcher.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {
int fail(const QString &message)
{
    std::fprintf(stderr, "nrv508-emu: %s\n", qPrintable(message));
    return 1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nrv508-emu"));

    EmulatorOptions options;
    QString message;
    switch (EmulatorOptions::parse(QCoreApplication::arguments(), &options, &message)) {
    case EmulatorOptions::Outcome::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case EmulatorOptions::Outcome::Error:
        std::fprintf(stderr, "nrv508-emu: %s", qPrintable(message));
        return 2;
    case EmulatorOptions::Outcome::Run:
        break;
    }

    SignalWatcher signalWatcher;
    if (!signalWatcher.watchTermination()) return fail(QStringLiteral("cannot watch signals"));
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);

    std::unique_ptr<DeviceLink> link;
    if (!options.linkPath.isEmpty()) {
        link = std::make_unique<DeviceLink>(options.linkPath);
        if (!link->claim(&message)) return fail(message);
    }
    PseudoTerminal line;
    if (!line.open(options.baud, &message)) return fail(message);
    if (link && !link->pointAt(line.slavePath(), &message)) return fail(message);
    AnalyserEmulator emulator(options, &line);
    if (!emulator.start(&message)) return fail(message);
    if (link) {
        QObject::connect(&emulator, &AnalyserEmulator::unplugged, [&] { link->remove(); });
        QObject::connect(&emulator, &AnalyserEmulator::pluggedIn, [&] {
            QString error;
            if (!link->pointAt(line.slavePath(), &error)) {
                fail(error);
                app.exit(1);
            }
        });
    }

    // The device to open is the one line that users and tests read from stdout.
    std::printf("%s\n", qPrintable(link ? link->path() : line.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
