// nrv508-cli download and live: the Start button and the receive path of the windows, run
// headless against a real port.

#include "app/Program.h"
#include "archive/Archive.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/Headless.h"
#include "cli/ModelText.h"
#include "cli/PortOptions.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "platform/StopSignals.h"
#include "protocol/Numbers.h"
#include "tables/Modes.h"
#include "trend/LiveOutput.h"

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
    LiveOutput::Format format = LiveOutput::Format::Panels;
};

// How a transfer ended. Interrupted: a stop request from outside (a signal, the reader of a
// live run's output gone).
enum class Outcome { Answered, LineFault, Silent, Interrupted };

struct Result {
    Outcome outcome = Outcome::Silent;
    int exitStatus = ExitFailure; // for Interrupted: the conventional status of the request
};

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
    // 0: a live run until it is interrupted.
    const std::optional<int> count = parseWholeNumber(args.value("--count", "1"));
    if (!count || *count < 0)
        return QStringLiteral("--count takes a number of readings (0: until interrupted)");
    o->count = *count;
    const std::optional<int> timeout = parseWholeNumber(args.value("--timeout", "10"));
    if (!timeout || *timeout < 1)
        return QStringLiteral("--timeout takes a number of seconds from 1");
    o->timeoutSeconds = *timeout;
    o->out = args.value("--out");
    o->archive = args.flags.contains("--archive");
    const std::optional<LiveOutput::Format> format =
        LiveOutput::formatNamed(args.value("--format", "panels"));
    if (!format) return QStringLiteral("--format takes panels, csv or json");
    o->format = *format;
    return QString();
}

// Prints a shown reading of a live run in the chosen format; false once stdout has failed.
bool printReading(const Program &program, LiveOutput::Format format, LiveOutput *output)
{
    const ScreenModel &model = program.model;
    if (format == LiveOutput::Format::Panels) return writeStdout(realModeLines(model) + '\n');
    const LiveReading reading = LiveReading::fromPanels(
        model, program.reception.lastCompleteStream(), QDateTime::currentDateTime());
    if (format == LiveOutput::Format::Json) return writeStdout(LiveOutput::json(reading));
    const QByteArray row = output->csv(reading);
    // The header names one unit per column: a switch of unit mid-run is told, not hidden.
    if (!output->changedUnits().isEmpty())
        writeStderr(QStringLiteral("nrv508-cli: the reading of %1 is in %2, unlike the header")
                        .arg(reading.timeText(), output->changedUnits()));
    return writeStdout(row);
}

// Runs the event loop from Start until the answer was parsed (or the wanted readings shown),
// the line failed, the instrument stayed silent too long, or a stop was requested. A live run
// always ends through Stop, as the button ends it, so the instrument stops streaming.
Result runTransfer(Program &program, DevicePort &port, const DownloadOptions &o)
{
    Transfer &transfer = program.transfer;
    const bool live = o.mode == Real;
    QEventLoop loop;
    Result result;
    int shown = 0;
    LiveOutput output;
    const auto end = [&](Outcome outcome) {
        if (transfer.state() == LinkState::Live) transfer.startStop();
        result.outcome = outcome;
        loop.quit();
    };

    // The longest silence allowed: every byte received starts the wait again, so a long answer
    // at a slow speed is never cut while it is still coming.
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(o.timeoutSeconds * 1000);
    QObject::connect(&port, &SerialPort::commEvent, &loop, [&](CommEvent kind) {
        if (kind == CommEvent::Received) silence.start();
    });
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
        writeStderr(QStringLiteral("nrv508-cli: no answer from the instrument on %1 within %2 s")
                        .arg(o.device)
                        .arg(o.timeoutSeconds));
        end(Outcome::Silent);
    });
    QObject::connect(&transfer, &Transfer::receptionFinished, &loop, [&] {
        if (!transfer.lastPassCompletedStream())
            return; // a pass over part of an answer, cut by a quiet gap
        if (!live) return end(Outcome::Answered);
        if (!printReading(program, o.format, &output)) {
            result.exitStatus = ExitFailure; // finish() gives the reason, or ends quietly
            return end(Outcome::Interrupted);
        }
        if (o.count == 0 || ++shown < o.count) return;
        end(Outcome::Answered);
    });
    QObject::connect(&transfer, &Transfer::communicationError, &loop,
                     [&] { end(Outcome::LineFault); });
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &loop, [&](int signalNumber) {
        result.exitStatus = StopSignals::exitStatusFor(signalNumber);
        end(Outcome::Interrupted);
    });
    silence.start();
    loop.exec();
    return result;
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
    const Result result = runTransfer(program, port, o);
    if (result.outcome == Outcome::Interrupted) return result.exitStatus;
    const bool keepsFile = o.mode != Real && !o.out.isEmpty() && o.out != QLatin1String("-");
    if (result.outcome == Outcome::LineFault)
        writeStderr(
            QStringLiteral("nrv508-cli: the line to %1 failed before the answer was "
                           "complete%2")
                .arg(o.device, keepsFile ? QStringLiteral("; \"%1\" is left as it was.").arg(o.out)
                                         : QStringLiteral(".")));
    if (result.outcome != Outcome::Answered) return ExitFailure;
    // Only a complete answer is written, even with records lost on the way.
    if (o.mode != Real && !writeOutput(o.out, DataFile::serialize(program.model)))
        return ExitFailure;
    // A message box ("Receiving Error": records lost on the way) makes the run a failure too.
    return messages.count() == boxesBefore ? ExitOk : ExitFailure;
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
        Args::parse(argv, {"--port", "--baud", "--link", "--count", "--timeout", "--format"},
                    {"--archive"});
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
    QStringLiteral(
        "Switches to mode CODE and presses Start through the same code as the Start button.\n"
        "Modes 1 to 11: waits for the answer and writes its data file. Mode 0: a live run of\n"
        "N readings, each printed as name=caption lines and an empty line, then Stop.\n"
        "No byte for SECONDS exits 1 with \"no answer from the instrument\"; a port that\n"
        "cannot be opened or a line fault exits 1 with the message box's text.\n"
        "\n"
        "Options:\n") +
        portOptionsHelp() +
        QStringLiteral(
            "  --mode CODE        the mode to download, 0 to 11; required\n"
            "  --out FILE         where the data file goes, written only when an answer was\n"
            "                     parsed (default: stdout; - is stdout too)\n"
            "  --count N          live readings to show in mode 0 (default 1)\n"
            "  --timeout SECONDS  longest quiet time before giving up, counted again from\n"
            "                     every byte received (default 10)\n"
            "  --archive          also keep what arrived in the archive (NRV508_ARCHIVE or the\n"
            "                     program's own archive; default: not archived)\n"
            "\n") +
        modeCodesHelp() +
        QStringLiteral("\n"
                       "Example:\n"
                       "  nrv508-cli download --port COM1 --mode 2 --out page0.txt\n"),
});

const CliCommand::Registration liveCommand({
    QStringLiteral("live"),
    QStringLiteral("nrv508-cli live --port DEVICE [--baud 4800|9600|19200|38400] [--link ir|bt] "
                   "[--count N] [--timeout SECONDS] [--format panels|csv|json] [--archive]"),
    runLiveCommand,
    QStringLiteral(
        "Shorthand for download --mode 0 (Real Mode): a live run that prints each reading\n"
        "shown, flushed at once, then sends Stop. --count 0 runs until SIGINT, SIGTERM or a\n"
        "closed pipe, which end it through Stop too.\n"
        "\n"
        "Options:\n") +
        portOptionsHelp() +
        QStringLiteral(
            "  --count N          readings to show before Stop (default 1)\n"
            "  --timeout SECONDS  longest quiet time before giving up, counted again from\n"
            "                     every byte received (default 10)\n"
            "  --format F         panels: name=caption lines and an empty line per reading\n"
            "                     (default); csv: a header row (time, then CO [ppm] ...) and\n"
            "                     one row per reading; json: one JSON object per line with\n"
            "                     time, each quantity as a number or null, and units\n"
            "  --archive          also keep every reading shown in the archive, as one live\n"
            "                     run (default: not archived)\n"
            "\n"
            "Example:\n"
            "  nrv508-cli live --port COM1 --count 0 --format csv >> burner.csv\n"),
});
} // namespace
