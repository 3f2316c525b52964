#pragma once

#include "app/MessageSink.h"

#include <QList>
#include <QStringList>
#include <functional>

// A message sink for tests: records every box raised and gives scripted answers (OK when
// nothing is scripted). onShow runs while a box is "open", before it is answered, so a test
// can look at the state the user sees behind the box.
class RecordingMessages : public MessageSink {
public:
    struct Box {
        QString title;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

    // Answers for the next boxes, in order; after they run out every box is answered OK.
    void scriptAnswers(const QList<MessageAnswer> &answers) { m_answers = answers; }
    void setOnShow(std::function<void(const Box &)> onShow) { m_onShow = std::move(onShow); }

    const QList<Box> &boxes() const { return m_boxes; }
    int count() const { return static_cast<int>(m_boxes.size()); }
    // "TITLE: TEXT" per box, as the command line prints them.
    QStringList lines() const;
    void clear() { m_boxes.clear(); }

private:
    QList<Box> m_boxes;
    QList<MessageAnswer> m_answers;
    std::function<void(const Box &)> m_onShow;
};
