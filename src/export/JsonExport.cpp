#include "export/JsonExport.h"

#include "export/ExportTable.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
bool isJsonNumber(const QString &text)
{
    static const QRegularExpression grammar(
        QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    return grammar.match(text).hasMatch();
}

QByteArray cell(const QString &text)
{
    const ExportCell c = ExportCell::of(text);
    switch (c.kind) {
    case ExportCell::Empty:
        return QByteArrayLiteral("null");
    case ExportCell::Number:
        return JsonExport::number(c.text, c.number);
    case ExportCell::Text:
        break;
    }
    return JsonExport::string(c.text);
}

// A detail that is not known is null rather than an empty text.
QByteArray textOrNull(const QString &text)
{
    return text.isEmpty() ? QByteArrayLiteral("null") : JsonExport::string(text);
}

void member(QByteArray &out, const char *key, const QByteArray &value)
{
    out += "  ";
    out += JsonExport::string(QString::fromLatin1(key));
    out += ": ";
    out += value;
    out += ",\n";
}

QByteArray units(const ExportTable &t)
{
    QByteArray out = "{";
    bool first = true;
    for (const ExportColumn &column : t.columns) {
        if (column.unit.isEmpty()) continue;
        if (!first) out += ", ";
        first = false;
        out += JsonExport::string(column.key) + ": " + JsonExport::string(column.unit);
    }
    return out + "}";
}

QByteArray records(const ExportTable &t)
{
    QByteArray out = "[";
    for (int r = 0; r < t.rows.size(); ++r) {
        out += r == 0 ? "\n    {" : ",\n    {";
        const QStringList &row = t.rows[r];
        for (int c = 0; c < row.size(); ++c) {
            if (c > 0) out += ", ";
            out += JsonExport::string(t.columns[c].key) + ": " + cell(row[c]);
        }
        out += "}";
    }
    return out + (t.rows.isEmpty() ? "]" : "\n  ]");
}
} // namespace

namespace {
QByteArray object(const ExportTable &t)
{
    QByteArray out = "{\n";
    member(out, "mode", QByteArray::number(t.mode));
    member(out, "title", JsonExport::string(t.title));
    member(out, "page", t.page ? QByteArray::number(*t.page) : QByteArrayLiteral("null"));
    member(out, "version", textOrNull(t.version));
    member(out, "sampling", textOrNull(t.sampling));
    member(out, "received", textOrNull(t.receivedText()));
    member(out, "fuel", textOrNull(t.fuel));
    member(out, "measurement", textOrNull(t.measurement));
    member(out, "startDate", textOrNull(t.startDate));
    member(out, "startTime", textOrNull(t.startTime));
    member(out, "customer", textOrNull(t.customer));
    member(out, "site", textOrNull(t.site));
    member(out, "note", textOrNull(t.note));
    member(out, "source", textOrNull(t.source));
    member(out, "units", units(t));
    out += "  \"records\": " + records(t) + "\n}";
    return out;
}
} // namespace

namespace JsonExport {

QByteArray string(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '"' || u == '\\')
            escaped += QLatin1Char('\\') + ch;
        else if (u < 0x20)
            escaped += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            escaped += ch;
    }
    escaped += QLatin1Char('"');
    return escaped.toUtf8();
}

QByteArray number(const QString &text, double value)
{
    if (isJsonNumber(text)) return text.toLatin1();
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray table(const ExportTable &t)
{
    return object(t) + '\n';
}

QByteArray tables(const QList<ExportTable> &list)
{
    QByteArray out = "[";
    for (int i = 0; i < list.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += object(list[i]);
    }
    return out + "\n]\n";
}

} // namespace JsonExport
