#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

class ScreenModel;

// One numeric panel of Real Mode as the trend, the live output and the recordings name it.
struct LiveQuantity {
    const char *name;      // caption of the panel's label: "CO", "Eff."
    const char *panel;     // "txtRCo"
    const char *unitLabel; // label carrying the unit: fixed ("Label1") or re-captioned per reading
    bool trended; // drawn in the trend (the ratio is a tiny number without a unit: not drawn)
};

// A live reading as it was shown: its time and the numeric panels as numbers (nullopt where a
// panel holds no measurement or no number) with their units.
struct LiveReading {
    static constexpr int kCount = 9;
    // CO, O2, CO2, Ratio, XAir, Eff., Temp1, Temp2, Pressure: the panel order.
    static const std::array<LiveQuantity, kCount> &quantities();

    QDateTime time;
    bool timeFromInstrument = false; // false: the reading had no readable time, arrival is used
    std::array<std::optional<double>, kCount> values;
    std::array<QString, kCount> units;

    // The reading the panels show now, parsed from `stream`. The time is the reading's own
    // date and time; where the last reading of the stream carries no time, or none that can be
    // read, it is `arrival` (a time without a readable date takes the arrival's date).
    static LiveReading fromPanels(const ScreenModel &model, const QByteArray &stream,
                                  const QDateTime &arrival);

    // ISO 8601 local time with the offset from UTC: "2024-03-12T14:32:07+01:00".
    QString timeText() const;

    // The instrument's date ("dd/MM/yy") and time ("hh:mm:ss") as one local time: an
    // unreadable time gives `fallback`, a time without a readable date takes fallback's date.
    static QDateTime instrumentTime(const QString &date, const QString &time,
                                    const QDateTime &fallback);
};
