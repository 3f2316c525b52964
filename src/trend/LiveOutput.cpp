#include "trend/LiveOutput.h"

#include "export/CsvExport.h"
#include "export/JsonExport.h"

namespace {
// Numbers the shortest way that reads back the same ("25", "0.0003", "-0.12").
QByteArray numberText(double v)
{
    const QByteArray shortText = QByteArray::number(v, 'g', 15);
    return shortText.toDouble() == v ? shortText : QByteArray::number(v, 'g', 17);
}
} // namespace

std::optional<LiveOutput::Format> LiveOutput::formatNamed(const QString &name)
{
    if (name == QLatin1String("panels")) return Format::Panels;
    if (name == QLatin1String("csv")) return Format::Csv;
    if (name == QLatin1String("json")) return Format::Json;
    return std::nullopt;
}

QByteArray LiveOutput::csvHeader(const LiveReading &reading)
{
    const QChar comma = QLatin1Char(',');
    QByteArray out = "time";
    for (int q = 0; q < LiveReading::kCount; ++q) {
        QString name = QString::fromLatin1(LiveReading::quantities()[q].name);
        if (!reading.units[q].isEmpty()) name += QStringLiteral(" [%1]").arg(reading.units[q]);
        out += ',' + CsvExport::field(name, comma);
    }
    return out + "\r\n";
}

QByteArray LiveOutput::csv(const LiveReading &reading)
{
    QByteArray out;
    m_changedUnits.clear();
    if (!m_headerWritten) {
        out = csvHeader(reading);
        m_headerUnits = reading.units;
        m_headerWritten = true;
    }
    out += reading.timeText().toLatin1();
    for (int q = 0; q < LiveReading::kCount; ++q) {
        out += ',';
        if (reading.values[q]) out += numberText(*reading.values[q]);
        if (reading.units[q] != m_headerUnits[q]) {
            if (!m_changedUnits.isEmpty()) m_changedUnits += QLatin1String(", ");
            m_changedUnits += QStringLiteral("%1 [%2]").arg(
                QString::fromLatin1(LiveReading::quantities()[q].name), reading.units[q]);
        }
    }
    return out + "\r\n";
}

QByteArray LiveOutput::json(const LiveReading &reading)
{
    QByteArray out = "{\"time\":" + JsonExport::string(reading.timeText());
    QByteArray units;
    for (int q = 0; q < LiveReading::kCount; ++q) {
        const QString name = QString::fromLatin1(LiveReading::quantities()[q].name);
        out += ',' + JsonExport::string(name) + ':' +
               (reading.values[q] ? numberText(*reading.values[q]) : QByteArray("null"));
        if (reading.units[q].isEmpty()) continue;
        units += (units.isEmpty() ? "" : ",") + JsonExport::string(name) + ':' +
                 JsonExport::string(reading.units[q]);
    }
    return out + ",\"units\":{" + units + "}}\n";
}
