#include "files/SaveOpen.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "files/DataFile.h"
#include "files/FileNames.h"
#include "files/RecentFiles.h"
#include "tables/Modes.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

SaveOpen::SaveOpen(ScreenModel &model, MessageSink &messages, RecentFiles &recent)
    : m_model(model), m_messages(messages), m_recent(recent)
{
}

FileDialogTexts SaveOpen::textsFor(FileDialogKind kind)
{
    if (kind == FileDialogKind::Save)
        return {QStringLiteral("File Save"), QStringLiteral("Save File"), true};
    return {QStringLiteral("File Open"), QStringLiteral("Open File"), false};
}

bool SaveOpen::saveAllowed()
{
    if (m_model.CurrentMode != Real) return true;
    m_messages.show(QStringLiteral("Save"),
                    QStringLiteral("The reading is not saved in the Real Data Mode"),
                    MessageIcon::Information);
    return false;
}

bool SaveOpen::openAllowed() const
{
    return m_model.cmdStart.caption == QLatin1String("Start");
}

SaveOpen::Outcome SaveOpen::saveOk(const QString &directory, QString *name)
{
    if (!enterDirectory(directory, FileDialogKind::Save)) return Outcome::StayOpen;
    if (name->isEmpty()) return Outcome::Close;
    if (!nameAccepted(*name, FileDialogKind::Save)) return Outcome::StayOpen;
    *name = FileNames::withExtension(*name);
    const QString path = QDir(directory).absoluteFilePath(*name);
    if (FileNames::exists(path) && !overwriteConfirmed()) return Outcome::StayOpen;

    // The old file is not deleted first: the new one is written beside it and renamed over
    // it only once whole, so a save that fails leaves the old file as it was.
    QString error;
    if (!DataFile::write(m_model, path, &error)) {
        refuse(FileDialogKind::Save, error);
        return Outcome::StayOpen;
    }
    m_recent.add(path);
    if (fileKept) fileKept(path);
    return Outcome::Close;
}

SaveOpen::Outcome SaveOpen::openOk(const QString &directory, const QString &name)
{
    if (!enterDirectory(directory, FileDialogKind::Open)) return Outcome::StayOpen;
    if (name.isEmpty()) return Outcome::Close;
    if (!nameAccepted(name, FileDialogKind::Open)) return Outcome::StayOpen;
    return read(QDir(directory).absoluteFilePath(name)) ? Outcome::Close : Outcome::StayOpen;
}

bool SaveOpen::openRecent(const QString &path)
{
    if (!openAllowed()) return false;
    const QFileInfo info(path);
    return enterDirectory(info.absolutePath(), FileDialogKind::Open) &&
           read(info.absoluteFilePath());
}

bool SaveOpen::enterDirectory(const QString &directory, FileDialogKind kind)
{
    // The working directory follows every save and open, and the settings file with it.
    if (QDir::setCurrent(directory)) return true;
    const QFileInfo info(directory);
    const QString reason = !info.exists()  ? QStringLiteral("it does not exist")
                           : !info.isDir() ? QStringLiteral("it is not a directory")
                                           : QStringLiteral("it cannot be entered");
    refuse(kind,
           QStringLiteral("Cannot use the directory \"%1\": %2.").arg(shown(directory), reason));
    return false;
}

bool SaveOpen::nameAccepted(const QString &name, FileDialogKind kind)
{
    const QString reason = FileNames::refusal(name);
    if (reason.isEmpty()) return true;
    const QString verb =
        kind == FileDialogKind::Save ? QStringLiteral("save") : QStringLiteral("open");
    refuse(kind, QStringLiteral("Cannot %1 \"%2\": %3.").arg(verb, name, reason));
    return false;
}

bool SaveOpen::overwriteConfirmed()
{
    return m_messages.show(QStringLiteral("File Save"),
                           QStringLiteral("save data already exists. overwrite the data?"),
                           MessageIcon::Information, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

bool SaveOpen::read(const QString &path)
{
    DataFile::Contents contents;
    QString error;
    if (!DataFile::loadSaved(path, &contents, &error)) {
        refuse(FileDialogKind::Open, error);
        return false;
    }
    DataFile::apply(contents, m_model);
    m_recent.add(path);
    if (fileKept) fileKept(path);
    return true;
}

void SaveOpen::refuse(FileDialogKind kind, const QString &text)
{
    m_messages.show(textsFor(kind).caption, text, MessageIcon::Exclamation);
}
