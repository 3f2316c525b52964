#pragma once

#include <QString>
#include <functional>

class MessageSink;
class RecentFiles;
class ScreenModel;

enum class FileDialogKind { Save, Open };

// The captions the file dialog takes for its kind, and which action button it shows.
struct FileDialogTexts {
    QString caption; // the window: "File Save" / "File Open"
    QString frame;   // SSFrame2: "Save File" / "Open File"
    bool saveShown;  // scOk "Save OK" shown, else scOKopen "Open OK"
};

// File > Save and File > Open: the menu rules, the name rules, the directory rule, the
// overwrite question, and the data file written or read. The dialog and the browser only
// collect the name and the directory and close or stay open as told.
class SaveOpen {
public:
    enum class Outcome { Close, StayOpen };

    SaveOpen(ScreenModel &model, MessageSink &messages, RecentFiles &recent);

    static FileDialogTexts textsFor(FileDialogKind kind);

    // Told the path of every data file saved or read, once it is whole on disk.
    std::function<void(const QString &path)> fileKept;

    // File > Save: false, after telling the user, in the Real Mode, which has no table to save.
    bool saveAllowed();
    // File > Open: false, without a word, while a download runs (cmdStart is not "Start").
    bool openAllowed() const;

    // "Save OK" with the chosen directory and the name in Text1; *name takes its extension
    // here, so the dialog shows the name the file really has.
    Outcome saveOk(const QString &directory, QString *name);
    // "Open OK": the name is read as typed, without an extension added.
    Outcome openOk(const QString &directory, const QString &name);
    // A recent-file entry: "Open OK" on the file's own directory and name. True once read.
    bool openRecent(const QString &path);

private:
    bool enterDirectory(const QString &directory, FileDialogKind kind);
    bool nameAccepted(const QString &name, FileDialogKind kind);
    bool overwriteConfirmed();
    bool read(const QString &path);
    void refuse(FileDialogKind kind, const QString &text);

    ScreenModel &m_model;
    MessageSink &m_messages;
    RecentFiles &m_recent;
};
