#include "app/BoxMessages.h"
#include "app/Program.h"
#include "archive/Archive.h"
#include "archive/TeamSync.h"
#include "archive/TeamSyncer.h"
#include "link/DevicePort.h"
#include "link/SystemPortDiscovery.h"
#include "tables/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DevicePort port;
    // Start opens what the COM number stands for now, assigned adapters included.
    port.setResolution(PortResolver::programResolution(SystemPortDiscovery::shared()));
    BoxMessages messages;
    Program program(port, messages);
    program.startUp();
    program.archiver.enable(Archive::defaultLocation());
    // Pushes to the team archive, when one is configured, in the background; the archive
    // window finds it as a child of the application.
    auto *team = new TeamSyncer(&app);
    team->start(Archive::defaultLocation(), TeamSync::configuredLocation());
    QObject::connect(&program.archiver, &Archiver::archived, team, &TeamSyncer::pushSoon);
    frmMain window(program);
    messages.setParent(&window);
    window.show();
    return app.exec();
}
