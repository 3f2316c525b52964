#include "files/BrowserKeeper.h"

#include "files/Browsing.h"
#include "files/frmBrowser.h"

BrowserKeeper::BrowserKeeper(MessageSink &messages, QWidget *parent)
    : m_messages(messages), m_parent(parent)
{
}

BrowserKeeper::~BrowserKeeper()
{
    delete m_browser;
}

frmBrowser *BrowserKeeper::obtain()
{
    if (m_browser) return m_browser;
    m_browser = new frmBrowser(m_messages, Browsing::startDirectory(), m_parent);
    // Modal over the file dialog and the main window alike, though it belongs to neither.
    m_browser->setWindowModality(Qt::ApplicationModal);
    QObject::connect(m_browser, &QDialog::rejected, m_browser, [this] { drop(); });
    return m_browser;
}

void BrowserKeeper::drop()
{
    if (!m_browser) return;
    frmBrowser *browser = m_browser;
    m_browser = nullptr;
    browser->hide();
    browser->deleteLater();
}
