#include "charts/ChartNumbers.h"

#include <QByteArray>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ChartNumbers {

bool isGapText(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("OFL") || text == QLatin1String("-") ||
           text == QLatin1String("NA") || text == QLatin1String("OPEN");
}

namespace {
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Index just past a run of digits starting at i.
int skipDigits(const QString &text, int i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

bool isSign(const QString &text, int i)
{
    return i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'));
}

// [sign] digits [. digits] | [sign] . digits, then [e|E [sign] digits].
bool isPlainDecimal(const QString &text)
{
    int i = isSign(text, 0) ? 1 : 0;
    const int intStart = i;
    i = skipDigits(text, i);
    int digits = i - intStart;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        const int fracStart = ++i;
        i = skipDigits(text, i);
        digits += i - fracStart;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        i += isSign(text, i + 1) ? 2 : 1;
        const int expStart = i;
        i = skipDigits(text, i);
        if (i == expStart) return false;
    }
    return i == text.size();
}
// Whether a plain decimal that a double cannot hold lies below the smallest double (1e-400)
// rather than above the largest (1e400): the decimal exponent of its first significant digit.
bool isBelowDoubleRange(const QString &text)
{
    const int e = text.indexOf(QRegularExpression(QStringLiteral("[eE]")));
    const QString mantissa = e < 0 ? text : text.left(e);
    qint64 exponent = 0;
    if (e >= 0) {
        const QString digits = text.mid(e + 1);
        bool ok = false;
        exponent = digits.toLongLong(&ok);
        // An exponent too long for 64 bits is far beyond either end; its sign decides.
        if (!ok)
            exponent = digits.startsWith(QLatin1Char('-')) ? -(qint64(1) << 60) : (qint64(1) << 60);
    }
    const int point = mantissa.indexOf(QLatin1Char('.'));
    const int first = mantissa.indexOf(QRegularExpression(QStringLiteral("[1-9]")));
    if (first < 0) return true; // all zeros: zero whatever the exponent
    const int end = point < 0 ? mantissa.size() : point;
    const qint64 order = first < end ? end - first - 1 : end - first;
    return exponent + order < 0;
}
} // namespace

std::optional<double> readNumber(const QString &text)
{
    if (!isPlainDecimal(text)) return std::nullopt;
    // QByteArray::toDouble reads in the C locale whatever the user's locale is.
    bool ok = false;
    const double value = text.toLatin1().toDouble(&ok);
    // A number too small for a double is zero, not something unreadable.
    if (!ok && isBelowDoubleRange(text)) return 0.0;
    // The gap value and anything beyond it could not be told from a gap on the chart.
    if (!ok || !std::isfinite(value) || std::fabs(value) >= kGap) return std::nullopt;
    return value;
}

std::optional<double> cellValue(const QString &text)
{
    if (isGapText(text)) return std::nullopt;
    return readNumber(text);
}

qint32 toWholeNumber(double value)
{
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max() - 1;
    if (std::isnan(value)) return 0;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<qint32>(std::clamp(whole, lowest, highest));
}

} // namespace ChartNumbers
