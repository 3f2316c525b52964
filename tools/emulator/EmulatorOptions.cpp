#include "EmulatorOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef NRV508_EMU_DEFAULT_DATA_DIR
#define NRV508_EMU_DEFAULT_DATA_DIR "tests/data/streams"
#endif

namespace {

const char *const kDescription =
    "Emulates the combustion analyser on a pseudo-terminal. The first line on stdout is the\n"
    "device to open (for example /dev/pts/5, or the --link name); point the program at it,\n"
    "e.g. with NRV508_COM1=/dev/pts/5. Runs until SIGINT or SIGTERM.\n"
    "\n"
    "With --link PATH the emulator keeps the symbolic link PATH pointing at its line, so the\n"
    "device keeps one name; the link exists only while the line is plugged in. With\n"
    "--replug-after, a line that was hung up (--hangup-after: a pulled cable) comes back\n"
    "under the same name after SECONDS, and the pulled-cable fault is not repeated.\n"
    "\n"
    "Requests end LF CR (header commands CR LF) and are answered from stream files:\n"
    "  QTRQ           real.txt, real2.txt, real.txt, ... one reading per interval until QTP\n"
    "  QTS            store.txt\n"
    "  QTL0..QTL3     logger0.txt .. logger3.txt\n"
    "  QTSL0..QTSL4   single0.txt .. single4.txt\n"
    "  QTT            tightness.txt\n"
    "  QTH0<text>     echoes <text> CR LF (QTH1 likewise)\n"
    "  QTP            ends a live run; no answer\n"
    "A request whose stream file is missing gets no answer (a note goes to stderr).";

bool readNumber(const QCommandLineParser &parser, const QString &name, qint64 minimum,
                qint64 *value, QString *error)
{
    if (!parser.isSet(name)) return true;
    bool ok = false;
    const qint64 number = parser.value(name).toLongLong(&ok);
    if (!ok || number < minimum) {
        *error = QStringLiteral("--%1 needs a whole number of at least %2, not \"%3\"")
                     .arg(name)
                     .arg(minimum)
                     .arg(parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

} // namespace

QString EmulatorOptions::defaultDataDir()
{
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/nrv508/streams");
    if (!QCoreApplication::applicationDirPath().isEmpty() && QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(NRV508_EMU_DEFAULT_DATA_DIR);
}

namespace {
// Whole or decimal seconds into milliseconds, 0 to an hour; -1 when the text is no such value.
int secondsToMs(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    return ok && seconds >= 0 && seconds <= 3600 ? int(seconds * 1000 + 0.5) : -1;
}
} // namespace

EmulatorOptions::Outcome EmulatorOptions::parse(const QStringList &arguments,
                                                EmulatorOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOptions({
        {QStringLiteral("data"),
         QStringLiteral("Directory of the stream files (default %1).").arg(defaultDataDir()),
         QStringLiteral("DIR")},
        {QStringLiteral("baud"),
         QStringLiteral("Line speed for pacing the answers (default 9600)."), QStringLiteral("N")},
        {QStringLiteral("fast"), QStringLiteral("Send answers at once, without pacing.")},
        {QStringLiteral("interval"),
         QStringLiteral("Quiet time between live readings (default 1000)."), QStringLiteral("MS")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("Hang up the line (pulled cable) once N answer bytes have gone out."),
         QStringLiteral("N")},
        {QStringLiteral("gap-after"), QStringLiteral("Pause every answer after its first N bytes."),
         QStringLiteral("N")},
        {QStringLiteral("gap-ms"), QStringLiteral("Length of that pause (default 1000)."),
         QStringLiteral("MS")},
        {QStringLiteral("silent"), QStringLiteral("Never answer.")},
        {QStringLiteral("garbage"),
         QStringLiteral("Answer every request with random binary bytes.")},
        {QStringLiteral("link"),
         QStringLiteral("Keep the symbolic link PATH pointing at the line (a name that survives "
                        "a replug)."),
         QStringLiteral("PATH")},
        {QStringLiteral("replug-after"),
         QStringLiteral("After a hang-up, plug a new line in after SECONDS (for example 3 or "
                        "0.5)."),
         QStringLiteral("SECONDS")},
        {QStringLiteral("log"),
         QStringLiteral("Append every request received, hex-escaped, one per line."),
         QStringLiteral("FILE")},
    });

    const QString usage = parser.helpText();
    if (!parser.parse(arguments)) {
        *message = parser.errorText() + QLatin1Char('\n') + usage;
        return Outcome::Error;
    }
    if (parser.isSet(help)) {
        *message = usage;
        return Outcome::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument \"%1\"\n%2")
                       .arg(parser.positionalArguments().constFirst(), usage);
        return Outcome::Error;
    }

    EmulatorOptions result;
    result.dataDir = parser.isSet(QStringLiteral("data")) ? parser.value(QStringLiteral("data"))
                                                          : defaultDataDir();
    result.fast = parser.isSet(QStringLiteral("fast"));
    result.silent = parser.isSet(QStringLiteral("silent"));
    result.garbage = parser.isSet(QStringLiteral("garbage"));
    result.logFile = parser.value(QStringLiteral("log"));
    result.linkPath = parser.value(QStringLiteral("link"));
    if (parser.isSet(QStringLiteral("replug-after"))) {
        result.replugAfterMs = secondsToMs(parser.value(QStringLiteral("replug-after")));
        if (result.replugAfterMs < 0) {
            *message = QStringLiteral("--replug-after takes seconds from 0 to 3600, not \"%1\"\n%2")
                           .arg(parser.value(QStringLiteral("replug-after")), usage);
            return Outcome::Error;
        }
    }

    qint64 baud = result.baud, interval = result.intervalMs, gapMs = result.gapMs;
    QString error;
    if (!readNumber(parser, QStringLiteral("baud"), 1, &baud, &error) ||
        !readNumber(parser, QStringLiteral("interval"), 0, &interval, &error) ||
        !readNumber(parser, QStringLiteral("hangup-after"), 0, &result.hangupAfter, &error) ||
        !readNumber(parser, QStringLiteral("gap-after"), 0, &result.gapAfter, &error) ||
        !readNumber(parser, QStringLiteral("gap-ms"), 0, &gapMs, &error)) {
        *message = error + QLatin1Char('\n') + usage;
        return Outcome::Error;
    }
    if (baud > 10'000'000 || interval > 3'600'000 || gapMs > 3'600'000) {
        *message = QStringLiteral("a speed or duration is out of range\n") + usage;
        return Outcome::Error;
    }
    if (result.silent && result.garbage) {
        *message = QStringLiteral("--silent and --garbage exclude each other\n") + usage;
        return Outcome::Error;
    }
    result.baud = int(baud);
    result.intervalMs = int(interval);
    result.gapMs = int(gapMs);
    *options = result;
    return Outcome::Run;
}
