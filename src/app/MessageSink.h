#pragma once

#include <QString>

enum class MessageIcon { Information, Exclamation, Critical };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

// Where behaviour raises its message boxes: a real box in the windows, a line on stderr in
// the command line, a recorder in the tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};
