#pragma once

#include <QString>

// Text from a file or a line, made fit for a message box or a terminal: control characters
// (C0, DEL and C1) shown as \xHH, so an escape sequence or a NUL cannot act on the terminal or
// hide the rest of the message; and, with maxLength above 0, a longer result cut to maxLength
// characters followed by "...".
QString printableText(const QString &text, int maxLength = 0);
