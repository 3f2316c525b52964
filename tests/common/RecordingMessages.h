#pragma once

#include "app/MessageSink.h"

#include <QList>
#include <QStringList>
#include <functional>

// A message sink for tests: records every box raised and gives scripted answers (OK when
// nothing is scripted).
class RecordingMessages : public MessageSink {
public:
    struct Box {
        QString title;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override
    {
        m_boxes.append({title, text, icon, buttons});
        if (onShow) onShow(m_boxes.last());
        return m_answers.isEmpty() ? MessageAnswer::Ok : m_answers.takeFirst();
    }

    // Answers for the next boxes, in order; after they run out every box is answered OK.
    void scriptAnswers(const QList<MessageAnswer> &answers) { m_answers = answers; }

    const QList<Box> &boxes() const { return m_boxes; }
    int count() const { return static_cast<int>(m_boxes.size()); }
    // "TITLE: TEXT" per box, as the command line prints them.
    QStringList lines() const
    {
        QStringList out;
        for (const Box &box : m_boxes)
            out << box.title + QStringLiteral(": ") + box.text;
        return out;
    }
    void clear() { m_boxes.clear(); }

    // Runs as each box comes up, for a test that looks at the windows the box stands over.
    std::function<void(const Box &)> onShow;

private:
    QList<Box> m_boxes;
    QList<MessageAnswer> m_answers;
};
