#pragma once

#include "app/MessageSink.h"

// Every message box of a command-line run becomes one line "TITLE: TEXT" on stderr, in the
// order raised; the answer is always OK.
class StderrMessages : public MessageSink {
public:
    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons) override;
    int count() const { return m_count; }

private:
    int m_count = 0;
};
