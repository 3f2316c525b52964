#include "protocol/Placement.h"

#include "app/ScreenModel.h"
#include "protocol/Numbers.h"
#include "tables/Modes.h"

#include <QHash>
#include <QLatin1String>

namespace {
enum class Key {
    Other,
    Mode,
    TemperatureUnit,
    PressureUnit,
    Time,
    InstDataTime,
    Date,
    Address,
    CO,
    O2,
    CO2,
    Ratio,
    Xair,
    Efficiency,
    Temp1,
    Temp2,
    Pressure,
    Fuel,
    Sampling,
    P1Start,
    P2Stop,
};

Key keyOf(const QString &key)
{
    // Looked up once per line of every stream: a short scan, most keys fail on their length.
    static const struct {
        QLatin1String text;
        Key key;
    } keys[] = {
        {QLatin1String("mode="), Key::Mode},
        {QLatin1String("temperature_unit="), Key::TemperatureUnit},
        {QLatin1String("pressure_unit="), Key::PressureUnit},
        {QLatin1String("time="), Key::Time},
        {QLatin1String("<inst_data time="), Key::InstDataTime},
        {QLatin1String("date="), Key::Date},
        {QLatin1String("address="), Key::Address},
        {QLatin1String("CO="), Key::CO},
        {QLatin1String("O2="), Key::O2},
        {QLatin1String("CO2="), Key::CO2},
        {QLatin1String("CO_CO2_ratio="), Key::Ratio},
        {QLatin1String("xair="), Key::Xair},
        {QLatin1String("efficiency="), Key::Efficiency},
        {QLatin1String("temp_ch1="), Key::Temp1},
        {QLatin1String("temp_ch2="), Key::Temp2},
        {QLatin1String("pressure="), Key::Pressure},
        {QLatin1String("fuel_type="), Key::Fuel},
        {QLatin1String("sampling time="), Key::Sampling},
        {QLatin1String("P1_Start="), Key::P1Start},
        {QLatin1String("P2_Stop="), Key::P2Stop},
    };
    for (const auto &k : keys)
        if (k.text.size() == key.size() && k.text == key) return k.key;
    return Key::Other;
}

// Row of the live work grid for each measured value; -1 for keys that are not one.
int workRow(Key key)
{
    switch (key) {
    case Key::CO:
        return 0;
    case Key::O2:
        return 1;
    case Key::CO2:
        return 2;
    case Key::Ratio:
        return 3;
    case Key::Xair:
        return 4;
    case Key::Efficiency:
        return 5;
    case Key::Temp1:
        return 6;
    case Key::Temp2:
        return 7;
    case Key::Pressure:
        return 8;
    case Key::Fuel:
        return 9;
    default:
        return -1;
    }
}

// Column of the record table for the values stored per record; -1 for the others.
int recordColumn(Key key)
{
    switch (key) {
    case Key::Time:
        return 1;
    case Key::Date:
        return 2;
    case Key::Fuel:
        return 3;
    case Key::CO:
        return 4;
    case Key::O2:
        return 5;
    case Key::CO2:
        return 6;
    case Key::Ratio:
        return 7;
    case Key::Xair:
        return 8;
    case Key::Efficiency:
        return 9;
    case Key::Temp1:
        return 10;
    case Key::Temp2:
        return 11;
    case Key::Pressure:
        return 12;
    default:
        return -1;
    }
}

// The logger sends some values as "min/value/max"; the page keeps the middle part.
void reduceLoggerValue(QString &value)
{
    const int first = value.indexOf(QLatin1Char('/'));
    if (first < 0) return;
    const int second = value.indexOf(QLatin1Char('/'), first + 1);
    if (second < 0) return;
    value = value.mid(first + 1, second - first - 1);
}

QString withApostrophe(const QString &unit)
{
    return QLatin1Char('\'') + unit;
}
} // namespace

void Placement::placeReal()
{
    ScreenModel &m = m_model;
    const QString &value = m.tokens.CurrentValue;
    const Key key = keyOf(m.tokens.CurrentKey);
    switch (key) {
    case Key::Mode:
        m.FrameReal.caption = value;
        return;
    case Key::TemperatureUnit:
        m.labRT1Unit.caption = withApostrophe(value);
        m.labRT2Unit.caption = m.labRT1Unit.caption;
        return;
    case Key::PressureUnit:
        m.labRPUnit.caption = value;
        return;
    case Key::Time:
    case Key::InstDataTime:
        m.txtRTime.caption = value;
        return;
    case Key::Date:
        m.txtRDate.caption = value;
        return;
    default:
        break;
    }
    const int row = workRow(key);
    if (row >= 0) m.MSFlexGrid4.setText(row, 0, value);
}

void Placement::showRealReading()
{
    ScreenModel &m = m_model;
    Element *panels[] = {&m.txtRCo,  &m.txtRO2,    &m.txtRCo2,   &m.txtRRatio,    &m.txtRXair,
                         &m.txtREff, &m.txtRTemp1, &m.txtRTemp2, &m.txtRPressure, &m.txtRFuel};
    for (int k = 0; k < 10; ++k)
        panels[k]->caption = m.MSFlexGrid4.text(k, 0);
    for (int k = 0; k < 10; ++k)
        m.MSFlexGrid4.setText(k, 0, QString());
}

// Reads an "address=" value into CurrentRow; an address that is no data row of the table
// starts dropping the record.
bool Placement::takeAddress(int dataRows)
{
    ScreenModel &m = m_model;
    const std::optional<int> address = parseWholeNumber(m.tokens.CurrentValue);
    m_dropping = !address || *address < 0 || *address >= dataRows;
    if (m_dropping) return false;
    m.CurrentRow = static_cast<qint16>(*address);
    return true;
}

void Placement::placeRecordField()
{
    ScreenModel &m = m_model;
    const bool logger = isLogger(m.CurrentMode);
    const Key key = keyOf(m.tokens.CurrentKey);
    if (logger && key != Key::Date) reduceLoggerValue(m.tokens.CurrentValue);
    const QString &value = m.tokens.CurrentValue;
    Grid &table = m.MSFlexGrid1;

    if (key == Key::Address) {
        if (takeAddress(logger ? 100 : 50)) table.setText(m.CurrentRow + 1, 0, value);
        return;
    }
    if (key == Key::Sampling) {
        m.txtSSample.caption = value;
        return;
    }
    if (m_dropping) return;

    const int r = m.CurrentRow + 1;
    switch (key) {
    case Key::Fuel:
        if (logger) {
            m.txtLFuel.caption = value;
            table.setText(1, 3, value);
            return;
        }
        break;
    case Key::TemperatureUnit:
        if (logger) {
            m.labST1Unit.caption = withApostrophe(value);
            m.labST2Unit.caption = m.labST1Unit.caption;
        } else {
            table.setText(r, 13, withApostrophe(value));
        }
        return;
    case Key::PressureUnit:
        table.setText(r, 14, value);
        m.labSPUnit.caption = value;
        return;
    default:
        break;
    }
    const int column = recordColumn(key);
    if (column >= 0) table.setText(r, column, value);
}

void Placement::showBrowseRow()
{
    ScreenModel &m = m_model;
    const int r = m.CurrentRow + 1;
    const Grid &t = m.MSFlexGrid1;
    Element *panels[] = {&m.txtSAdd2,  &m.txtSTime,  &m.txtSDate,    &m.txtSFuel, &m.txtSCo,
                         &m.txtSO2,    &m.txtSCo2,   &m.txtSRatio,   &m.txtSXair, &m.txtSEff,
                         &m.txtSTemp1, &m.txtSTemp2, &m.txtSPressure};
    for (int c = 0; c < 13; ++c)
        panels[c]->caption = t.text(r, c);
    if (m.CurrentMode == Store) {
        m.labST1Unit.caption = t.text(r, 13);
        m.labST2Unit.caption = t.text(r, 13);
        m.labSPUnit.caption = t.text(r, 14);
    }
}

void Placement::placeSingleLoggerField()
{
    ScreenModel &m = m_model;
    const QString &value = m.tokens.CurrentValue;
    switch (keyOf(m.tokens.CurrentKey)) {
    case Key::Sampling:
        m.txtSLSample.caption = value;
        break;
    case Key::Mode:
        m.txtSLMeasure.caption = value;
        break;
    case Key::Time:
        m.txtSLTime.caption = value;
        break;
    case Key::Date:
        m.txtSLDate.caption = value;
        break;
    case Key::TemperatureUnit:
        m.txtSLUnit.caption = withApostrophe(value);
        break;
    case Key::PressureUnit:
        m.txtSLUnit.caption = value;
        break;
    default:
        break;
    }

    // The headers name the two values a record line carries for the logged measurement.
    static const QHash<QString, QStringList> headers = {
        {"CO Logger Mode Data", {"Add", "Average", "Maxmum"}},
        {"Temperature Logger Mode Data", {"Add", "Temp1", "Temp2"}},
        {"Pressure Logger Mode Data", {"Add", "Pressure", " "}},
    };
    const auto it = headers.constFind(m.txtSLMeasure.caption);
    if (it == headers.constEnd()) return;
    for (int c = 0; c < 3; ++c)
        m.MSFlexGrid3.setText(0, c, it->at(c));
}

void Placement::placeSingleLoggerRecord()
{
    ScreenModel &m = m_model;
    const TokenizerState &t = m.tokens;
    const std::optional<int> row = parseWholeNumber(t.SLIndexText.trimmed());
    if (!row || *row < 1 || *row > 30) return;
    m.MSFlexGrid3.setText(*row, 0, t.SLIndexText);
    m.MSFlexGrid3.setText(*row, 1, t.SLValue1);
    m.MSFlexGrid3.setText(*row, 2, t.SLValue2);
    if (m.txtSLUnit.caption.isEmpty()) m.txtSLUnit.caption = QStringLiteral("ppm");
}

void Placement::placeTightnessField()
{
    ScreenModel &m = m_model;
    const QString &value = m.tokens.CurrentValue;
    const Key key = keyOf(m.tokens.CurrentKey);
    Grid &table = m.MSFlexGrid2;
    switch (key) {
    case Key::Mode:
        m.txtSLMeasure.caption = value;
        return;
    case Key::Sampling:
        m.txtSLSample.caption = value;
        return;
    case Key::Address:
        if (takeAddress(50)) table.setText(m.CurrentRow + 1, 0, value);
        return;
    default:
        break;
    }
    if (m_dropping) return;
    const int r = m.CurrentRow + 1;
    switch (key) {
    case Key::Date:
        table.setText(r, 1, value);
        break;
    case Key::Time:
        table.setText(r, 2, value);
        break;
    case Key::P1Start:
        table.setText(r, 3, value);
        break;
    case Key::P2Stop:
        table.setText(r, 4, value);
        break;
    case Key::TemperatureUnit:
    case Key::PressureUnit:
        table.setText(r, 5, value);
        break;
    default:
        break;
    }
}
