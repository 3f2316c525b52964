#include "files/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
// Named here rather than taken from the application object, so the windows and any other
// front end read the same list whatever the executable is called.
const char kOrganisation[] = "NRV508";
const char kApplication[] = "nrv508";
const char kKey[] = "recentFiles";

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

RecentFiles::RecentFiles()
{
    m_files = stored();
}

void RecentFiles::add(const QString &path)
{
    const QString file = normalised(path);
    // Start from what is stored, so the entries another copy of the program added survive.
    QStringList files = stored();
    if (files.isEmpty()) files = m_files;
    files.removeAll(file);
    files.prepend(file);
    while (files.size() > kLimit)
        files.removeLast();
    m_files = files;
    store(files);
}

QStringList RecentFiles::stored() const
{
    QStringList files;
    withSettings([&files](QSettings &settings) {
        // A hand-edited settings file may hold anything; only absolute paths are entries.
        for (const QString &entry : settings.value(kKey).toStringList()) {
            if (entry.isEmpty() || QDir::isRelativePath(entry)) continue;
            const QString file = normalised(entry);
            if (!files.contains(file) && files.size() < kLimit) files << file;
        }
    });
    return files;
}

void RecentFiles::store(const QStringList &files) const
{
    // A list that cannot be stored stays in memory for this run; no save or open fails for it.
    withSettings([&files](QSettings &settings) {
        settings.setValue(kKey, files);
        settings.sync();
    });
}

void RecentFiles::withSettings(const std::function<void(QSettings &)> &use) const
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    use(settings);
}
