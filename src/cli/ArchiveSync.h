#pragma once

class Archive;
class CliCommand;
struct Args;

// nrv508-cli archive sync: pushes the local archive to the team archive and prints what it
// pushed.
int runArchiveSync(Archive &local, const Args &args, const CliCommand &self);
