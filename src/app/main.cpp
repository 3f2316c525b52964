#include "app/BoxMessages.h"
#include "app/Program.h"
#include "archive/Archive.h"
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
    frmMain window(program);
    messages.setParent(&window);
    window.show();
    return app.exec();
}
