// A full Logger page downloaded from the emulator at 38400 baud, through the same Start and
// receive code as the button. Prints where the time goes: the long pause before the request,
// the line time of the bytes, the quiet gap that ends the answer, and what is left, which is
// the program's own overhead (plus the pseudo-terminal's and the emulator's latency).
//
//     bench_download [RUNS]          (default 3; each run takes about nine seconds)

#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "link/DevicePort.h"
#include "tables/Modes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kBaud = 38400;
constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit

// Times in milliseconds from the press of Start.
struct Run {
    double requestSent = 0; // after the long pause and the request
    double firstByte = 0;
    double lastByte = 0;
    double firstTick = 0; // the receive-timer tick that opened the progress window
    double passStart = 0; // the tick that ran the reception pass
    double done = 0;      // the table filled
    bool complete = false;
};

void row(const QString &what, const QString &figure, const QString &target = QString())
{
    std::printf("| %-52s | %-22s | %-20s |\n", qPrintable(what), qPrintable(figure),
                qPrintable(target));
    std::fflush(stdout);
}

QString ms(double value)
{
    return QStringLiteral("%1 ms").arg(value, 0, 'f', 1);
}

Run downloadOnce(const QString &device)
{
    DevicePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.startUp();
    port.setDeviceOverride(device);
    port.setSettings(QStringLiteral("%1,N,8,1").arg(kBaud));
    program.model.LinkType = 1;
    program.modes.switchTo(LoggerPage0);

    Run run;
    QElapsedTimer clock;
    QEventLoop loop;
    qsizetype seen = 0;
    QObject::connect(&port, &SerialPort::commEvent, &loop, [&] {
        if (program.model.ReceiveBuffer.size() == seen) return;
        seen = program.model.ReceiveBuffer.size();
        run.lastByte = clock.nsecsElapsed() / 1e6;
        if (run.firstByte == 0) run.firstByte = run.lastByte;
    });
    QObject::connect(&program.model, &ScreenModel::changed, &loop, [&] {
        if (run.firstTick == 0 && program.model.frmSplash.visible)
            run.firstTick = clock.nsecsElapsed() / 1e6;
    });
    QObject::connect(&program.transfer, &Transfer::receptionFinished, &loop, [&] {
        run.done = clock.nsecsElapsed() / 1e6;
        run.complete = program.transfer.lastPassCompletedStream();
        if (run.complete) loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);

    clock.start();
    program.transfer.startStop();
    run.requestSent = clock.nsecsElapsed() / 1e6;
    loop.exec();
    // The receive timer ticks at a steady pace from its first tick; the pass ran at the last
    // tick before it finished.
    const double period = Transfer::kTimer3Ms;
    run.passStart = run.firstTick + std::floor((run.done - run.firstTick) / period) * period;
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    QTemporaryDir workDir; // no settings file from elsewhere
    QDir::setCurrent(workDir.path());

    QFile page(QStringLiteral(NRV508_STREAMS_DIR "/logger0.txt"));
    if (!page.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_download: %s: %s\n", qPrintable(page.fileName()),
                     qPrintable(page.errorString()));
        return 0;
    }
    const qint64 bytes = page.size();
    const double lineMs = bytes * kBitsPerByte * 1000.0 / kBaud;

    EmulatorProcess emulator;
    QString error;
    if (!emulator.start({QStringLiteral("--baud"), QString::number(kBaud)}, &error)) {
        std::fprintf(stderr, "bench_download: %s\n", qPrintable(error));
        return 0; // a report, never a failure
    }

    std::vector<double> total, pause, latency, lag, gap, pass, overhead;
    for (int i = 0; i < runs; ++i) {
        const Run r = downloadOnce(emulator.device());
        if (!r.complete) {
            std::fprintf(stderr, "bench_download: run %d got no complete answer\n", i + 1);
            continue;
        }
        total.push_back(r.done);
        pause.push_back(r.requestSent);
        latency.push_back(r.firstByte - r.requestSent);
        lag.push_back(r.lastByte - r.firstByte - lineMs);
        gap.push_back(r.passStart - r.lastByte);
        pass.push_back(r.done - r.passStart);
        overhead.push_back(r.done - r.requestSent - lineMs - (r.passStart - r.lastByte));
    }
    if (total.empty()) return 0;

    const QString page0 =
        QStringLiteral("Logger page 0, %1 bytes at %2 baud").arg(bytes).arg(kBaud);
    row(QStringLiteral("Download: line time of the bytes (bits / baud)"), ms(lineMs), page0);
    row(QStringLiteral("Download: Start to table filled (median of %1)").arg(total.size()),
        ms(median(total)));
    row(QStringLiteral("Download: long pause and request"), ms(median(pause)), "255 ms by design");
    row(QStringLiteral("Download: quiet gap (last byte to pass)"), ms(median(gap)),
        "500 to 1000 ms");
    row(QStringLiteral("Download: overhead beyond line time and quiet gap"), ms(median(overhead)),
        "< 5 ms");
    // The overhead is the sum of these three; the first two are the emulator's pacing and the
    // pseudo-terminal, the last is the program's own work once the answer is complete.
    row(QStringLiteral("  of it: request to first byte"), ms(median(latency)));
    row(QStringLiteral("  of it: arrival beyond line time"), ms(median(lag)));
    row(QStringLiteral("  of it: reception pass (the program)"), ms(median(pass)), "< 5 ms");
    return 0;
}
