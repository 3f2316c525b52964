#include "common/RecordingMessages.h"

MessageAnswer RecordingMessages::show(const QString &title, const QString &text, MessageIcon icon,
                                      MessageButtons buttons)
{
    m_boxes.append({title, text, icon, buttons});
    if (m_onShow) m_onShow(m_boxes.last());
    if (m_answers.isEmpty()) return MessageAnswer::Ok;
    return m_answers.takeFirst();
}

QStringList RecordingMessages::lines() const
{
    QStringList out;
    for (const Box &box : m_boxes)
        out << box.title + QStringLiteral(": ") + box.text;
    return out;
}
