// nrv508-emu: emulates the combustion analyser on a pseudo-terminal.

#include "AnalyserEmulator.h"
#include "EmulatorOptions.h"
#include "PseudoTerminal.h"
#include "SignalWatcher.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

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

    std::signal(SIGPIPE, SIG_IGN);
    SignalWatcher signalWatcher;
    if (!signalWatcher.watch(SIGINT) || !signalWatcher.watch(SIGTERM)) {
        std::fprintf(stderr, "nrv508-emu: cannot watch SIGINT and SIGTERM\n");
        return 1;
    }
    QObject::connect(&signalWatcher, &SignalWatcher::signalled, &app, &QCoreApplication::quit);

    PseudoTerminal line;
    if (!line.open(options.baud, &message)) {
        std::fprintf(stderr, "nrv508-emu: %s\n", qPrintable(message));
        return 1;
    }
    AnalyserEmulator emulator(options, &line);
    if (!emulator.start(&message)) {
        std::fprintf(stderr, "nrv508-emu: %s\n", qPrintable(message));
        return 1;
    }

    // The device path is the one line that users and tests read from stdout.
    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
