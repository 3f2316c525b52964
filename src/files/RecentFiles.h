#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QSettings;

// The last files opened or saved, newest first, kept in the user's application settings so
// that the list follows the user and not the working directory (which moves with every save).
class RecentFiles {
public:
    static constexpr int kLimit = 4;

    // Reads the list from the user's settings of this program.
    RecentFiles();

    QStringList files() const { return m_files; }

    // Puts the file first, once, and stores the list at once so another copy of the program
    // started later sees it.
    void add(const QString &path);

private:
    QStringList stored() const;
    void store(const QStringList &files) const;
    void withSettings(const std::function<void(QSettings &)> &use) const;

    QStringList m_files;
};
