#pragma once

#include "files/frmBrowser.h"

#include <QPointer>

class MessageSink;
class QWidget;

// The file browser outlives one use and even one file dialog: after its "OK" it waits hidden
// with its lists until its own "Cancel" or the next "Save OK" or "Open OK" ends it.
class BrowserKeeper {
public:
    BrowserKeeper(MessageSink &messages, QWidget *parent);
    ~BrowserKeeper();

    // The browser open or hidden, or nullptr when there is none.
    frmBrowser *current() const { return m_browser; }
    // The surviving browser as it was, or a fresh one in the working directory.
    frmBrowser *obtain();
    // Ends the browser, if there is one.
    void drop();

private:
    MessageSink &m_messages;
    QWidget *m_parent;
    QPointer<frmBrowser> m_browser;
};
