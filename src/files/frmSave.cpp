#include "files/frmSave.h"

#include "files/BrowserKeeper.h"
#include "files/frmBrowser.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmSave::frmSave(SaveOpen &files, BrowserKeeper &browsers, FileDialogKind kind, QWidget *parent)
    : QDialog(parent), m_files(files), m_browsers(browsers)
{
    setObjectName(QStringLiteral("frmSave"));
    const FileDialogTexts texts = SaveOpen::textsFor(kind);
    setWindowTitle(texts.caption);
    build(texts);
    showDirectory();
    m_name->setFocus();
    resize(460, sizeHint().height());
}

void frmSave::build(const FileDialogTexts &texts)
{
    auto *frame = new QGroupBox(texts.frame);
    frame->setObjectName(QStringLiteral("SSFrame2"));
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("Text1"));
    // Where the name is taken: the browser's directory, or the working directory.
    m_directory = new QLabel;
    m_directory->setObjectName(QStringLiteral("labDirectory"));
    m_directory->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_directory->setWordWrap(true);
    auto *inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(m_name);
    inFrame->addWidget(m_directory);

    auto *browser = new QPushButton(QStringLiteral("Browser"));
    browser->setObjectName(QStringLiteral("SSCommand1"));
    m_saveOk = new QPushButton(QStringLiteral("Save OK"));
    m_saveOk->setObjectName(QStringLiteral("scOk"));
    m_openOk = new QPushButton(QStringLiteral("Open OK"));
    m_openOk->setObjectName(QStringLiteral("scOKopen"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("SSCommand3"));

    // The two action buttons share one place, the hidden one taking no room; the one of this
    // dialog's kind is shown and is the button Enter presses.
    QPushButton *action = texts.saveShown ? m_saveOk : m_openOk;
    (texts.saveShown ? m_openOk : m_saveOk)->hide();
    action->setDefault(true);
    for (QPushButton *b : {browser, cancel})
        b->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(browser);
    buttons->addStretch(1);
    buttons->addWidget(m_saveOk);
    buttons->addWidget(m_openOk);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setTabOrder(m_name, browser);
    setTabOrder(browser, action);
    setTabOrder(action, cancel);

    connect(browser, &QPushButton::clicked, this, &frmSave::browse);
    connect(m_saveOk, &QPushButton::clicked, this, &frmSave::saveOk);
    connect(m_openOk, &QPushButton::clicked, this, &frmSave::openOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmSave::browse()
{
    frmBrowser *browser = m_browsers.obtain();
    connect(browser, &QDialog::finished, this, &frmSave::browserClosed, Qt::UniqueConnection);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void frmSave::browserClosed(int result)
{
    // After "OK" the browser waits hidden; "Cancel" ends it and leaves the name as it was.
    frmBrowser *browser = m_browsers.current();
    if (result != QDialog::Accepted)
        m_browsers.drop();
    else if (browser && !browser->pickedName().isEmpty())
        m_name->setText(browser->pickedName());
    showDirectory();
    activateWindow();
    m_name->setFocus();
}

void frmSave::saveOk()
{
    QString name = m_name->text();
    const SaveOpen::Outcome outcome = m_files.saveOk(chosenDirectory(), &name);
    m_name->setText(name);
    finish(outcome);
}

void frmSave::openOk()
{
    finish(m_files.openOk(chosenDirectory(), m_name->text()));
}

void frmSave::finish(SaveOpen::Outcome outcome)
{
    if (outcome == SaveOpen::Outcome::StayOpen) {
        showDirectory();
        m_name->setFocus();
        return;
    }
    m_browsers.drop();
    accept();
}

QString frmSave::chosenDirectory() const
{
    const frmBrowser *browser = m_browsers.current();
    return browser ? browser->directory() : QDir::currentPath();
}

void frmSave::showDirectory()
{
    m_directory->setText(QStringLiteral("in %1").arg(QDir::toNativeSeparators(chosenDirectory())));
}
