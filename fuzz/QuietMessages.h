#pragma once

#include "app/MessageSink.h"

// Message boxes answer OK at once: a fuzzer has no one to read them.
class QuietMessages : public MessageSink {
public:
    MessageAnswer show(const QString &, const QString &, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};
