// nrv508-cli ports: what COM1 to COM6 stand for, and every serial port the system reports.

#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "link/PortListing.h"
#include "link/PortResolver.h"
#include "link/SystemPortDiscovery.h"

namespace {
int runPortsCommand(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv, {}, {"--json"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (!args.positional.isEmpty())
        return usageError(
            self, QStringLiteral("unexpected argument \"%1\"").arg(args.positional.first()));
    const PortResolver resolver(SystemPortDiscovery::shared(), PortAssignments::load());
    const PortListing listing(resolver);
    writeStdout(args.flags.contains(QStringLiteral("--json")) ? listing.json() : listing.text());
    return ExitOk;
}

const CliCommand::Registration portsCommand({
    QStringLiteral("ports"),
    QStringLiteral("nrv508-cli ports [--json]"),
    runPortsCommand,
    QStringLiteral(
        "Lists COM1 to COM6, each with the device it opens, whether that device is present,\n"
        "busy (held by another program) or absent, and where the device comes from\n"
        "(NRV508_COM<n>, a port assigned in Communication Setup > Devices..., or the standard\n"
        "name); then every serial port the system reports: device, description, manufacturer,\n"
        "serial number, USB ids, free or busy, and its COM number (\"-\" where unknown).\n"
        "\n"
        "Options:\n"
        "  --json             print one JSON object {\"com\": [...], \"ports\": [...]} instead\n"
        "                     (default: tab-separated lines)\n"
        "\n"
        "Example:\n"
        "  nrv508-cli ports --json\n"),
});
} // namespace
