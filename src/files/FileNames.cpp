#include "files/FileNames.h"

#include <QFile>
#include <QFileInfo>

namespace FileNames {

namespace {
// The longest name most file systems take, in bytes of the local encoding, leaving room for
// ".txt" and for the temporary name a save writes beside the file.
constexpr qsizetype kMaxNameBytes = 240;

#ifdef Q_OS_WIN
const QString kRefusedCharacters = QStringLiteral("<>:\"|?*");
#else
const QString kRefusedCharacters;
#endif
} // namespace

QString refusal(const QString &name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("the name has a directory part; type a bare file name and pick "
                              "the directory with \"Browser\"");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("the name contains a control character, which file names "
                                  "cannot hold");
        if (kRefusedCharacters.contains(c))
            return QStringLiteral("file names cannot hold the character \"%1\"").arg(c);
    }
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a directory, not a file").arg(name);
    if (QFile::encodeName(name).size() > kMaxNameBytes)
        return QStringLiteral("the name is too long for a file name");
    return QString();
}

QString withExtension(const QString &name)
{
    return name.endsWith(QLatin1String("txt"), Qt::CaseSensitive) ? name
                                                                  : name + QLatin1String(".txt");
}

bool exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.size() >= 1;
}

} // namespace FileNames
