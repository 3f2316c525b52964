#include "cli/Headless.h"

#include "cli/CliCommand.h"
#include "files/DataFile.h"

bool Headless::open(const QString &path)
{
    DataFile::Contents contents;
    QString error;
    if (!DataFile::loadSaved(path, &contents, &error)) {
        writeStderr(error);
        return false;
    }
    DataFile::apply(contents, program.model);
    return true;
}
