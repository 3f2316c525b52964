#include "files/Browsing.h"

#include <QDir>
#include <QFileInfo>

namespace Browsing {

namespace {
QString clean(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

void addPlace(QList<Place> &places, const QString &path, const QString &label)
{
    const QString dir = clean(path);
    for (const Place &p : places)
        if (p.path == dir) return;
    places.append({dir, label.isEmpty() ? QDir::toNativeSeparators(dir) : label});
}
} // namespace

QList<Place> places(const QString &workingDirectory)
{
    QList<Place> out;
    for (const QFileInfo &drive : QDir::drives())
        addPlace(out, drive.absoluteFilePath(), QString());
    const QString home = QDir::homePath();
    addPlace(out, home, QStringLiteral("%1 (home)").arg(QDir::toNativeSeparators(clean(home))));
    if (!workingDirectory.isEmpty())
        addPlace(
            out, workingDirectory,
            QStringLiteral("%1 (current)").arg(QDir::toNativeSeparators(clean(workingDirectory))));
    return out;
}

QString startDirectory()
{
    const QString current = QDir::currentPath();
    if (!current.isEmpty() && QFileInfo(current).isDir()) return clean(current);
    return clean(QDir::homePath());
}

Listing list(const QString &directory, Qt::CaseSensitivity patternCase)
{
    Listing out;
    out.path = clean(directory);
    const QFileInfo info(out.path);
    if (!info.exists()) {
        out.error = QStringLiteral("Cannot show \"%1\": it does not exist (a drive that is not "
                                   "ready, or a directory removed meanwhile).")
                        .arg(QDir::toNativeSeparators(out.path));
        return out;
    }
    QDir dir(out.path);
    if (!info.isDir() || !info.isReadable() || !dir.isReadable()) {
        out.error = QStringLiteral("Cannot show \"%1\": it is not a directory that can be read.")
                        .arg(QDir::toNativeSeparators(out.path));
        return out;
    }
    if (!dir.isRoot()) out.parent = clean(out.path + QStringLiteral("/.."));
    out.directories =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QDir::Filters filters = QDir::Files;
    if (patternCase == Qt::CaseSensitive) filters |= QDir::CaseSensitive;
    out.files = dir.entryList({QStringLiteral("*.txt")}, filters, QDir::Name | QDir::IgnoreCase);
    return out;
}

QString existingAncestor(const QString &directory)
{
    QString dir = clean(directory);
    while (!QFileInfo(dir).isDir()) {
        const QString up = clean(dir + QStringLiteral("/.."));
        if (up == dir) return clean(QDir::homePath());
        dir = up;
    }
    return dir;
}

} // namespace Browsing
