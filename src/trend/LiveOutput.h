#pragma once

#include "trend/LiveReading.h"

#include <QByteArray>
#include <QString>

// A live run as lines for a script: CSV (a header row, then one row per reading) or JSON Lines
// (one object per reading). Numbers as numbers, no measurement as an empty field or null.
class LiveOutput {
public:
    enum class Format { Panels, Csv, Json };
    // "panels", "csv", "json"; nullopt for anything else.
    static std::optional<Format> formatNamed(const QString &name);

    // The bytes for one reading: for CSV the header row comes before the first reading's row,
    // its units from that reading.
    QByteArray csv(const LiveReading &reading);
    static QByteArray json(const LiveReading &reading);

    // After csv(): the quantities whose unit differs from the header's (the instrument's
    // temperature unit was switched mid-run), by name; empty when none.
    QString changedUnits() const { return m_changedUnits; }

private:
    static QByteArray csvHeader(const LiveReading &reading);

    bool m_headerWritten = false;
    std::array<QString, LiveReading::kCount> m_headerUnits;
    QString m_changedUnits;
};
