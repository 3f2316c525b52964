#include "files/frmBrowser.h"

#include "app/MessageSink.h"
#include "files/Browsing.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QLabel *buddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}
} // namespace

frmBrowser::frmBrowser(MessageSink &messages, const QString &startDirectory, QWidget *parent)
    : QDialog(parent), m_messages(messages)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(QStringLiteral("File Browser"));
    build();
    fillDrives(startDirectory);
    m_directory = QDir::cleanPath(QDir(startDirectory).absolutePath());
    resize(560, 380);
}

void frmBrowser::build()
{
    auto *frame = new QGroupBox(QStringLiteral("File Browser"));
    frame->setObjectName(QStringLiteral("SSFrame1"));
    m_drives = new QComboBox;
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_dirs = new QListWidget;
    m_dirs->setObjectName(QStringLiteral("Dir1"));
    m_dirs->installEventFilter(this);
    m_files = new QListWidget;
    m_files->setObjectName(QStringLiteral("File1"));
    m_path = new QLabel;
    m_path->setObjectName(QStringLiteral("Dir1Path"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_path->setWordWrap(true);

    auto *lists = new QGridLayout(frame);
    lists->addWidget(buddyLabel(QStringLiteral("&File (*.txt):"), m_files), 0, 0);
    lists->addWidget(m_files, 1, 0, 4, 1);
    lists->addWidget(buddyLabel(QStringLiteral("&Drive:"), m_drives), 0, 1);
    lists->addWidget(m_drives, 1, 1);
    lists->addWidget(buddyLabel(QStringLiteral("D&irectory:"), m_dirs), 2, 1);
    lists->addWidget(m_path, 3, 1);
    lists->addWidget(m_dirs, 4, 1);
    lists->setRowStretch(4, 1);

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("SSCommand1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("SSCommand2"));
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    setTabOrder(m_files, m_drives);
    setTabOrder(m_drives, m_dirs);
    setTabOrder(m_dirs, ok);
    setTabOrder(ok, cancel);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_drives, &QComboBox::currentIndexChanged, this, &frmBrowser::driveChosen);
    connect(m_dirs, &QListWidget::itemDoubleClicked, this, &frmBrowser::enterDirectory);
    connect(m_files, &QListWidget::itemDoubleClicked, this, &frmBrowser::takeFile);
}

void frmBrowser::fillDrives(const QString &startDirectory)
{
    const QSignalBlocker blocker(m_drives);
    const QString start = QDir::cleanPath(QDir(startDirectory).absolutePath());
    for (const Browsing::Place &place : Browsing::places(start)) {
        m_drives->addItem(place.label, place.path);
        if (place.path == start) m_drive = m_drives->count() - 1;
    }
    m_drives->setCurrentIndex(m_drive);
}

QString frmBrowser::pickedName() const
{
    const QList<QListWidgetItem *> picked = m_files->selectedItems();
    return picked.isEmpty() ? QString() : picked.first()->text();
}

void frmBrowser::showEvent(QShowEvent *event)
{
    // Each showing lists the directory afresh: files may have been saved since, or the
    // directory removed while the browser was hidden, in which case the nearest one still
    // there is shown without a word.
    const QString picked = pickedName();
    Browsing::Listing listing = Browsing::list(m_directory);
    if (!listing.error.isEmpty()) listing = Browsing::list(Browsing::existingAncestor(m_directory));
    fillLists(listing);
    const QList<QListWidgetItem *> again = m_files->findItems(picked, Qt::MatchExactly);
    if (!picked.isEmpty() && !again.isEmpty()) m_files->setCurrentItem(again.first());
    QDialog::showEvent(event);
}

bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a directory goes into it, as a double-click does, rather than pressing "OK".
    if (watched == m_dirs && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_dirs->currentItem()) {
            enterDirectory(m_dirs->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A drive shows its current directory: the last one used on it in this browser, or its root
// (the place itself) when none was used yet or that directory has gone.
void frmBrowser::driveChosen(int index)
{
    const int previous = m_drive;
    const QString last = m_lastOnDrive.value(index);
    m_drive = index;
    if (showDirectory(QFileInfo(last).isDir() ? last : m_drives->itemData(index).toString()))
        return;
    // A drive that cannot be read leaves the browser where it was.
    m_drive = previous;
    const QSignalBlocker blocker(m_drives);
    m_drives->setCurrentIndex(m_drive);
}

bool frmBrowser::showDirectory(const QString &path)
{
    const Browsing::Listing listing = Browsing::list(path);
    if (!listing.error.isEmpty()) {
        m_messages.show(QStringLiteral("File Browser"), listing.error, MessageIcon::Exclamation);
        return false;
    }
    fillLists(listing);
    return true;
}

void frmBrowser::fillLists(const Browsing::Listing &listing)
{
    m_directory = listing.path;
    if (m_drive >= 0) m_lastOnDrive.insert(m_drive, listing.path);
    m_path->setText(QDir::toNativeSeparators(listing.path));
    m_dirs->clear();
    if (!listing.parent.isEmpty()) {
        auto *up = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent),
                                       QStringLiteral(".."), m_dirs);
        up->setData(Qt::UserRole, listing.parent);
    }
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString &name : listing.directories) {
        auto *item = new QListWidgetItem(folder, name, m_dirs);
        item->setData(Qt::UserRole, QDir(listing.path).filePath(name));
    }
    if (m_dirs->count() > 0) m_dirs->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    m_files->clear();
    m_files->addItems(listing.files);
}

void frmBrowser::enterDirectory(QListWidgetItem *item)
{
    showDirectory(item->data(Qt::UserRole).toString());
}

void frmBrowser::takeFile(QListWidgetItem *item)
{
    m_files->setCurrentItem(item);
    accept();
}
