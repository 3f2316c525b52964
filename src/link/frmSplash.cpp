#include "link/frmSplash.h"

#include "app/ScreenModel.h"
#include "link/AnswerProgress.h"
#include "link/ProgressWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

namespace {
// Positions are designed in twips; at 96 dpi a pixel is 15 twips.
constexpr int px(int twips)
{
    return twips / 15;
}

// Image1: the analyser beside an adapter, with the beam between them.
QPixmap linkPicture()
{
    QPixmap picture(31, 21);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(Qt::black);
    p.setBrush(QColor(0xd0, 0xd0, 0xd0));
    p.drawRect(0, 3, 9, 16);
    p.setBrush(QColor(0x00, 0xc0, 0x00));
    p.drawRect(2, 5, 5, 4);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRect(23, 7, 7, 8);
    p.setPen(QPen(QColor(0xc0, 0x00, 0x00), 1, Qt::DotLine));
    p.drawLine(11, 11, 21, 11);
    return picture;
}
} // namespace

frmSplash::frmSplash(ScreenModel &model, QWidget *mainWindow, const AnswerProgress *progress)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_model(model), m_mainWindow(mainWindow), m_image(new QLabel(this)),
      m_label(new QLabel(this)), m_progress(progress), m_progressLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(m_model.frmSplash.caption);
    setFixedSize(px(4260), px(900));
    // Showing it must not take the keyboard from the window the user is typing in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(px(600), px(360), 31, 21);
    m_image->setPixmap(linkPicture());

    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(px(1320), px(360), px(1575), px(255));
    m_label->setFont(QFont(QStringLiteral("Tahoma"), 8));
    m_label->setText(m_model.frmSplashLabel1.caption);

    // Under "Wait . . .", in the room the picture leaves below it.
    m_progressLabel->setObjectName(QStringLiteral("labProgress"));
    m_progressLabel->setGeometry(px(1320), px(630), px(2820), px(240));
    m_progressLabel->setFont(m_label->font());
    m_progressLabel->setVisible(m_progress != nullptr);
    if (m_progress) connect(m_progress, &AnswerProgress::changed, this, &frmSplash::showProgress);
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &frmSplash::showProgress);
}

void frmSplash::showProgress()
{
    if (m_progress) m_progressLabel->setText(m_progress->text());
}

void frmSplash::sync()
{
    setWindowTitle(m_model.frmSplash.caption);
    m_label->setText(m_model.frmSplashLabel1.caption);
    setEnabled(m_model.frmSplash.enabled);
    if (m_model.frmSplash.visible && !isVisible()) {
        placeOverMainWindow();
        showProgress();
        show();
        m_clock.start();
    } else if (!m_model.frmSplash.visible && isVisible()) {
        m_clock.stop();
        hide();
    }
}

void frmSplash::placeOverMainWindow()
{
    if (!m_mainWindow) return;
    const QRect main = m_mainWindow->frameGeometry();
    move(main.center() - rect().center());
    // Kept above the main window by the window manager, without being its child.
    if (m_mainWindow->windowHandle()) {
        create();
        if (windowHandle()) windowHandle()->setTransientParent(m_mainWindow->windowHandle());
    }
}

// The user (or the system) may close the window at any time; the download goes on, and the
// next receive-timer tick with data opens it again.
void frmSplash::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_model.frmSplash.visible) return;
    closeProgressWindow(m_model);
    m_model.notify();
}
