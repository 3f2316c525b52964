#pragma once

#include "app/MessageSink.h"

class QWidget;

// Message boxes of the windows: a modal QMessageBox over the given parent.
class BoxMessages : public MessageSink {
public:
    explicit BoxMessages(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    QWidget *m_parent;
};
