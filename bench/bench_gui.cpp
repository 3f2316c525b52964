// Start-up of the program's window as a user waits for it: from the process's first line to
// the main window's first painted frame, offscreen. With --once it prints nothing and quits at
// that frame, so bench_process can take the whole process's peak memory.
#include "BenchTable.h"
#include "app/BoxMessages.h"
#include "app/Program.h"
#include "link/DevicePort.h"
#include "tables/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

namespace {
// Notes the first paint of any widget of the window, then ends the event loop.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer &clock) : m_clock(clock) {}
    qint64 elapsedNs = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && elapsedNs < 0) {
            elapsedNs = m_clock.nsecsElapsed();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    QElapsedTimer &m_clock;
};
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FirstPaint paint(clock);
    app.installEventFilter(&paint);
    DevicePort port;
    BoxMessages messages;
    Program program(port, messages);
    program.startUp();
    frmMain window(program);
    messages.setParent(&window);
    window.show();
    app.exec();
    if (app.arguments().contains(QStringLiteral("--once"))) return 0;
    printRow("GUI start-up to first painted frame (offscreen)",
             QString::number(paint.elapsedNs / 1e6, 'f', 1) + " ms", "< 300 ms");
    return 0;
}
