#include "trend/LiveReading.h"

#include "app/ScreenModel.h"
#include "charts/ChartNumbers.h"

namespace {
// The instrument writes dates day first with two-digit years and times as hh:mm:ss.
const QString kDateFormat = QStringLiteral("dd/MM/yy");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

// The attribute lines of the last reading of a stream. The panels keep the date and time of
// an earlier reading when a reading lacks them, so only the stream tells whether it had one.
QByteArray lastReadingOf(const QByteArray &stream)
{
    const int at = stream.lastIndexOf("<inst_data");
    return at < 0 ? QByteArray() : stream.mid(at);
}

bool hasAttribute(const QByteArray &reading, const char *name)
{
    // An attribute starts its line ("date=") or follows the record's opening ("<inst_data time=").
    const QByteArray key = QByteArray(name) + "=\"";
    return reading.contains("\r" + key) || reading.contains("\n" + key) ||
           reading.contains(" " + key);
}
} // namespace

const std::array<LiveQuantity, LiveReading::kCount> &LiveReading::quantities()
{
    static const std::array<LiveQuantity, kCount> table = {{
        {"CO", "txtRCo", "Label1", true},
        {"O2", "txtRO2", "Label33", true},
        {"CO2", "txtRCo2", "Label34", true},
        {"Ratio", "txtRRatio", nullptr, false},
        {"XAir", "txtRXair", "Label35", true},
        {"Eff.", "txtREff", "Label36", true},
        {"Temp1", "txtRTemp1", "labRT1Unit", true},
        {"Temp2", "txtRTemp2", "labRT2Unit", true},
        {"Pressure", "txtRPressure", "labRPUnit", true},
    }};
    return table;
}

LiveReading LiveReading::fromPanels(const ScreenModel &model, const QByteArray &stream,
                                    const QDateTime &arrival)
{
    LiveReading r;
    for (int q = 0; q < kCount; ++q) {
        const LiveQuantity &info = quantities()[q];
        const Element *panel = model.element(QLatin1String(info.panel));
        r.values[q] = panel ? ChartNumbers::cellValue(panel->caption.trimmed()) : std::nullopt;
        const Element *unit =
            info.unitLabel ? model.element(QLatin1String(info.unitLabel)) : nullptr;
        r.units[q] = unit ? unit->caption : QString();
    }

    const QByteArray reading = lastReadingOf(stream);
    const QString time = hasAttribute(reading, "time") ? model.txtRTime.caption : QString();
    const QString date = hasAttribute(reading, "date") ? model.txtRDate.caption : QString();
    r.time = instrumentTime(date, time, arrival);
    r.timeFromInstrument = QTime::fromString(time.trimmed(), kTimeFormat).isValid();
    return r;
}

QDateTime LiveReading::instrumentTime(const QString &dateText, const QString &timeText,
                                      const QDateTime &fallback)
{
    const QTime time = QTime::fromString(timeText.trimmed(), kTimeFormat);
    if (!time.isValid()) return fallback;
    QDate date = QDate::fromString(dateText.trimmed(), kDateFormat);
    // Two-digit years: the instrument's dates are this century's.
    if (date.isValid() && date.year() < 2000) date = date.addYears(100);
    return QDateTime(date.isValid() ? date : fallback.date(), time);
}

QString LiveReading::timeText() const
{
    if (!time.isValid()) return QString();
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}
