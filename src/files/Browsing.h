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
    QStringList files;       // names matching "*.txt" exactly as typed (case counts), sorted
    QString error;           // why the directory cannot be listed; empty when it can
};

Listing list(const QString &directory);

// The nearest directory at or above the given one that still exists.
QString existingAncestor(const QString &directory);

} // namespace Browsing
