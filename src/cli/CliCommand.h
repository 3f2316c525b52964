#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QCoreApplication;

// One subcommand of nrv508-cli. Each command file registers itself with a static
// CliCommand::Registration, usage and help beside it, so adding a command touches no other file.
struct CliCommand {
    QString name;
    QString usage;
    // Gets the arguments after the command name; returns the exit status.
    std::function<int(const CliCommand &self, const QStringList &args)> run;
    // What `COMMAND --help` prints after the usage: what the command does, an "Options:" list
    // with each default, the mode codes where it takes one, and an "Example:".
    QString help;
    // The application object the command runs under; without one, the core's (QtCore).
    QCoreApplication *(*application)(int &argc, char **argv) = nullptr;

    struct Registration {
        explicit Registration(CliCommand command);
    };
    static const QList<CliCommand> &all();
};

// Exit statuses shared by every command.
enum CliExit { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// Writes bytes to stdout unchanged (data files keep their CR LF) and flushes them. Returns
// false once stdout has failed (a full disk, a closed pipe): later writes are dropped, and
// finish() turns the failure into the exit status.
bool writeStdout(const QByteArray &bytes);
// Whether a write to stdout has failed, and whether it failed because the reader went away.
bool stdoutFailed();
bool stdoutClosedByReader();
// One line on stderr.
void writeStderr(const QString &line);
// The whole `--help` text of a command.
QString helpText(const CliCommand &command);
// Prints the usage on stderr and returns ExitUsage.
int usageError(const CliCommand &command, const QString &problem);
// Writes bytes to --out (all or nothing: written beside, then renamed; a device or FIFO is
// written through) or, for "" and "-", to stdout. A failure is reported on stderr.
bool writeOutput(const QString &outPath, const QByteArray &bytes);
// The exit status of a command that would end with status: stdout is flushed, and a failed
// write to it makes the run a failure (1, with the reason on stderr), or, when the reader
// closed the pipe, ends it quietly with the status of the broken-pipe signal.
int finish(int status);
