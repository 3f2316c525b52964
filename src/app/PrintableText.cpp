#include "app/PrintableText.h"

namespace {
bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}
} // namespace

QString printableText(const QString &text, int maxLength)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        // Stop early: a megabyte line needs no more than the part that is shown.
        if (maxLength > 0 && out.size() > maxLength) break;
        if (isControl(c.unicode()))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (maxLength > 0 && out.size() > maxLength) {
        out.truncate(maxLength);
        out += QLatin1String("...");
    }
    return out;
}
