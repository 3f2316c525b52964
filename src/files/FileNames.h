#pragma once

#include <QString>

// The rules a name typed into the file dialog goes through.
namespace FileNames {

// Why a typed name cannot be used as a bare file name in the chosen directory, or an empty
// text when it can. The dialog names files relative to the directory picked in the browser,
// so a directory part would quietly put the file somewhere else.
QString refusal(const QString &name);

// ".txt" is added unless the name's last three characters are exactly "txt" (case counts):
// "data" gives "data.txt", "mytxt" and "data.txt" stay, "DATA.TXT" gives "DATA.TXT.txt".
QString withExtension(const QString &name);

// The file-exists test: found and at least one byte long; any failure counts as absent.
bool exists(const QString &path);

} // namespace FileNames
