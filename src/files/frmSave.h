#pragma once

#include "files/SaveOpen.h"

#include <QDialog>

class BrowserKeeper;
class QLabel;
class QLineEdit;
class QPushButton;

// The file dialog of File > Save and File > Open: the name in Text1, the browser behind
// "Browser", and "Save OK" or "Open OK" (one of the two, at the same place). It lives for one
// use: a new dialog always starts with an empty name.
class frmSave : public QDialog {
    Q_OBJECT
public:
    frmSave(SaveOpen &files, BrowserKeeper &browsers, FileDialogKind kind,
            QWidget *parent = nullptr);

private:
    void build(const FileDialogTexts &texts);
    void browse();
    void browserClosed(int result);
    void saveOk();
    void openOk();
    void finish(SaveOpen::Outcome outcome);
    QString chosenDirectory() const;
    void showDirectory();

    SaveOpen &m_files;
    BrowserKeeper &m_browsers;
    QLineEdit *m_name = nullptr;
    QLabel *m_directory = nullptr;
    QPushButton *m_saveOk = nullptr;
    QPushButton *m_openOk = nullptr;
};
