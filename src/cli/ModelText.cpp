#include "cli/ModelText.h"

#include "app/ScreenModel.h"
#include "tables/Modes.h"

namespace {
QByteArray lines(const ScreenModel &model, const QStringList &names)
{
    QByteArray out;
    for (const QString &name : names) {
        const Element *e = model.element(name);
        out += (name + QLatin1Char('=') + (e ? e->caption : QString())).toLatin1() + '\n';
    }
    return out;
}
} // namespace

QByteArray realModeLines(const ScreenModel &model)
{
    return lines(model,
                 {"FrameReal", "txtRDate", "txtRTime", "txtRCo", "txtRO2", "txtRCo2", "txtRRatio",
                  "txtRXair", "txtREff", "txtRTemp1", "txtRTemp2", "txtRPressure", "txtRFuel",
                  "labRT1Unit", "labRT2Unit", "labRPUnit", "txtVersion"});
}

QByteArray openedFileLines(const ScreenModel &model)
{
    const Family family = familyOf(model.CurrentMode);
    QByteArray out = "CurrentMode=" + QByteArray::number(model.CurrentMode) + '\n';
    QStringList names;
    if (family == Family::Store || family == Family::Logger) {
        const bool logger = family == Family::Logger;
        names << "FrameStore"
              << "txtSAdd2"
              << "txtSTime"
              << "txtSDate" << (logger ? "txtLFuel" : "txtSFuel") << "txtSCo"
              << "txtSO2"
              << "txtSCo2"
              << "txtSRatio"
              << "txtSXair"
              << "txtSEff"
              << "txtSTemp1"
              << "txtSTemp2"
              << "txtSPressure"
              << "labST1Unit"
              << "labST2Unit"
              << "labSPUnit";
        if (logger) names << "txtSSample";
    } else if (family == Family::SingleLogger) {
        names << "FrameSL"
              << "txtSLMeasure"
              << "txtSLDate"
              << "txtSLTime"
              << "txtSLSample"
              << "txtSLUnit";
    } else if (family == Family::Tightness) {
        names << "FrameSL"
              << "txtSLMeasure";
    }
    if (!names.isEmpty()) names << "txtVersion";
    return out + lines(model, names);
}
