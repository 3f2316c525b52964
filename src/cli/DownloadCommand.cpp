// nrv508-cli download and live: the Start button and the receive path of the windows, run
// headless against a real port.

#include "app/Program.h"
#include "archive/Archive.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/Headless.h"
#include "cli/ModelText.h"
#include "cli/PortOptions.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "protocol/Numbers.h"
#include "tables/Modes.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>

namespace {
struct DownloadOptions : PortOptions {
    int mode = 0;
    QString out;
    int count = 1;
    int timeoutSeconds = 10;
    bool archive = false;
};

// How a transfer ended.
enum class Outcome { Answered, LineFault, Silent };

// Reads the options shared by download and live; returns a problem for the usage message.
QString readOptions(const Args &args, bool live, DownloadOptions *o)
{
    if (!args.problem.isEmpty()) return args.problem;
    if (!args.positional.isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(args.positional.first());
    const QString portProblem = readPortOptions(args, o);
    if (!portProblem.isEmpty()) return portProblem;
    if (!live) {
        const std::optional<int> mode = parseWholeNumber(args.value("--mode"));
        if (!mode || *mode < 0 || *mode > 11)
            return QStringLiteral("--mode takes a mode code from 0 to 11");
        o->mode = *mode;
    }
    const std::optional<int> count = parseWholeNumber(args.value("--count", "1"));
    if (!count || *count < 1) return QStringLiteral("--count takes a number of readings from 1");
    o->count = *count;
    const std::optional<int> timeout = parseWholeNumber(args.value("--timeout", "10"));
    if (!timeout || *timeout < 1)
        return QStringLiteral("--timeout takes a number of seconds from 1");
    o->timeoutSeconds = *timeout;
    o->out = args.value("--out");
    o->archive = args.flags.contains("--archive");
    return QString();
}

// Runs the event loop from Start until the answer was parsed (or the wanted readings shown),
// the line failed, or the instrument stayed silent too long.
Outcome runTransfer(Program &program, const DownloadOptions &o)
{
    Transfer &transfer = program.transfer;
    const bool live = o.mode == Real;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setInterval(o.timeoutSeconds * 1000);
    Outcome outcome = Outcome::Silent;
    int shown = 0;

    QObject::connect(&transfer, &Transfer::receptionFinished, &loop, [&] {
        if (!transfer.lastPassCompletedStream())
            return; // a pass over part of an answer, cut by a quiet gap
        if (!live) {
            outcome = Outcome::Answered;
            loop.quit();
            return;
        }
        writeStdout(realModeLines(program.model) + '\n');
        if (++shown < o.count) {
            deadline.start();
            return;
        }
        transfer.startStop(); // Stop, as the button does
        outcome = Outcome::Answered;
        loop.quit();
    });
    QObject::connect(&transfer, &Transfer::communicationError, &loop, [&] {
        outcome = Outcome::LineFault;
        loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        writeStderr(QStringLiteral("nrv508-cli: no answer from the instrument on %1 within %2 s")
                        .arg(o.device)
                        .arg(o.timeoutSeconds));
        if (transfer.state() == LinkState::Live) transfer.startStop();
        loop.quit();
    });
    deadline.start();
    loop.exec();
    return outcome;
}

int runDownload(const DownloadOptions &o)
{
    Headless run;
    Program &program = run.program;
    DevicePort &port = run.port;
    StderrMessages &messages = run.messages;
    applyPortOptions(o, program, port);
    // What arrives is archived as the window archives it, before anything is written.
    if (o.archive) program.archiver.enable(Archive::defaultLocation());
    program.modes.switchTo(o.mode); // the port is closed: nothing is sent
    const int boxesBefore = messages.count();

    program.transfer.startStop();
    if (!port.isOpen()) return ExitFailure; // the "Port Error" line says why
    const Outcome outcome = runTransfer(program, o);
    // A download that got an answer, or part of one before the line failed, is written; a
    // silent instrument leaves --out untouched.
    if (o.mode != Real && outcome != Outcome::Silent) {
        if (!writeOutput(o.out, DataFile::serialize(program.model))) return ExitFailure;
    }
    // A message box ("Receiving Error": records lost on the way) makes the run a failure too.
    return outcome == Outcome::Answered && messages.count() == boxesBefore ? ExitOk : ExitFailure;
}

int runDownloadCommand(const CliCommand &self, const QStringList &argv)
{
    const Args args =
        Args::parse(argv, {"--port", "--mode", "--baud", "--link", "--out", "--count", "--timeout"},
                    {"--archive"});
    DownloadOptions options;
    const QString problem = readOptions(args, false, &options);
    if (!problem.isEmpty()) return usageError(self, problem);
    return runDownload(options);
}

int runLiveCommand(const CliCommand &self, const QStringList &argv)
{
    const Args args =
        Args::parse(argv, {"--port", "--baud", "--link", "--count", "--timeout"}, {"--archive"});
    DownloadOptions options;
    const QString problem = readOptions(args, true, &options);
    if (!problem.isEmpty()) return usageError(self, problem);
    return runDownload(options);
}

const CliCommand::Registration downloadCommand({
    QStringLiteral("download"),
    QStringLiteral("nrv508-cli download --port DEVICE --mode CODE [--baud 4800|9600|19200|38400] "
                   "[--link ir|bt] [--out FILE] [--count N] [--timeout SECONDS] [--archive]"),
    runDownloadCommand,
});

const CliCommand::Registration liveCommand({
    QStringLiteral("live"),
    QStringLiteral("nrv508-cli live --port DEVICE [--baud 4800|9600|19200|38400] [--link ir|bt] "
                   "[--count N] [--timeout SECONDS] [--archive]"),
    runLiveCommand,
});
} // namespace
