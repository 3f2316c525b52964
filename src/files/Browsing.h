#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the file browser lists: the places its drive list offers, and one directory's
// subdirectories and data files.
namespace Browsing {

// One entry of the drive list.
struct Place {
    QString path;
    QString label;
};

// The drives, or on a system without drive letters the file-system roots; then the user's
// home and the working directory. Each directory once, in that order.
QList<Place> places(const QString &workingDirectory);

// Where a fresh browser starts: the working directory, or the home directory when the working
// directory has gone.
QString startDirectory();

struct Listing {
    QString path;            // the directory listed, absolute and clean
    QString parent;          // its parent, empty at a root
    QStringList directories; // subdirectory names, sorted
    QStringList files;       // names matching "*.txt", sorted
    QString error;           // why the directory cannot be listed; empty when it can
};

// How "*.txt" matches: letter case counts where the file system's names do (not on Windows,
// where "DATA.TXT" is as much a data file as "data.txt").
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPatternCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPatternCase = Qt::CaseSensitive;
#endif

Listing list(const QString &directory, Qt::CaseSensitivity patternCase = kPatternCase);

// The nearest directory at or above the given one that still exists.
QString existingAncestor(const QString &directory);

} // namespace Browsing
