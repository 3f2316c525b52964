#include "tables/ModeSwitch.h"

#include "app/ScreenModel.h"
#include "link/Commands.h"
#include "link/Pauses.h"
#include "link/SerialPort.h"
#include "tables/Modes.h"

#include <QStringList>

const char *const ModeSwitch::kRecordHeaders[15] = {"Add",   "Time",  "Date",  "Fuel",   "CO",
                                                    "O2",    "CO2",   "Ratio", "XAir",   "Eff.",
                                                    "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"};
const char *const ModeSwitch::kTightnessHeaders[6] = {"Add",      "Date",    "Time",
                                                      "P1_Start", "P2_Stop", "Unit"};
const char *const ModeSwitch::kSingleLoggerHeaders[3] = {"Add", "Value1", "Value2"};

namespace {
template <size_t N> QStringList headerList(const char *const (&texts)[N])
{
    QStringList list;
    for (const char *t : texts)
        list << QString::fromLatin1(t);
    return list;
}

void setVisible(std::initializer_list<Element *> elements, bool visible)
{
    for (Element *e : elements)
        e->visible = visible;
}

void blank(std::initializer_list<Element *> panels)
{
    for (Element *e : panels)
        e->caption.clear();
}
} // namespace

ModeSwitch::ModeSwitch(ScreenModel &model, SerialPort &port, const Pauses &pauses)
    : m_model(model), m_port(port), m_pauses(pauses)
{
}

void ModeSwitch::startUp()
{
    m_model.CurrentMode = Real;
    m_model.MSFlexGrid3.writeHeaders(headerList(kSingleLoggerHeaders));
    m_model.notify();
}

void ModeSwitch::switchTo(int code)
{
    switch (familyOf(code)) {
    case Family::Real:
        toReal();
        break;
    case Family::Store:
        toStore();
        break;
    case Family::Logger:
        toLogger(code - LoggerPage0);
        break;
    case Family::SingleLogger:
        toSingleLogger(code - SingleLoggerPage0);
        break;
    case Family::Tightness:
        toTightness();
        break;
    case Family::None:
        break;
    }
}

// A live stream may still run only if the port is open and Real Mode is being left.
void ModeSwitch::stopRequest(bool storeSwitch)
{
    if (!m_port.isOpen() || m_model.CurrentMode != Real) return;
    if (storeSwitch) {
        m_pauses.shortPause();
        m_pauses.shortPause();
    }
    sendCommand(m_port, QStringLiteral("QTP"));
    for (int i = 0; i < 3; ++i)
        m_pauses.shortPause();
    sendCommand(m_port, QStringLiteral("QTP"));
}

void ModeSwitch::writeRecordHeaders()
{
    m_model.MSFlexGrid1.writeHeaders(headerList(kRecordHeaders));
}

void ModeSwitch::blankStorePanels(bool logger)
{
    ScreenModel &m = m_model;
    blank({&m.txtSAdd2, &m.txtSDate, &m.txtSTime, &m.txtSSample, &m.txtSCo, &m.txtSO2, &m.txtSCo2,
           &m.txtSRatio, &m.txtSXair, &m.txtSEff, &m.txtSTemp1, &m.txtSTemp2, &m.txtSPressure,
           logger ? &m.txtLFuel : &m.txtSFuel});
}

void ModeSwitch::toReal()
{
    ScreenModel &m = m_model;
    m.FrameReal.visible = true;
    m.FrameStore.visible = false;
    m.FrameSL.visible = false;
    m.cmdStart.caption = QStringLiteral("Start");
    m.cmdChart.enabled = false;
    m.CurrentMode = Real;
    blank({&m.txtRDate, &m.txtRTime, &m.txtRCo, &m.txtRO2, &m.txtRCo2, &m.txtRRatio, &m.txtRXair,
           &m.txtREff, &m.txtRTemp1, &m.txtRTemp2, &m.txtRPressure, &m.txtRFuel});
    m.notify();
}

void ModeSwitch::toStore()
{
    ScreenModel &m = m_model;
    stopRequest(true);
    m.FrameStore.visible = true;
    m.FrameSL.visible = false;
    m.txtLFuel.visible = false;
    m.cmdChart.enabled = false;
    m.cmdStart.caption = QStringLiteral("Start");
    setVisible({&m.Label25, &m.txtSSample}, false);
    m.FrameStore.caption = QString::fromLatin1(modeInfo(Store)->caption);
    m.MSFlexGrid1.setRowCount(51);
    m.HScroll1Max = 49;
    m.CurrentRow = 0;
    writeRecordHeaders();
    m.CurrentMode = Store;
    blankStorePanels(false);
    m.notify();
}

void ModeSwitch::toLogger(int page)
{
    ScreenModel &m = m_model;
    stopRequest(false);
    m.FrameStore.visible = true;
    m.FrameSL.visible = false;
    m.txtLFuel.visible = true;
    m.cmdChart.enabled = true;
    m.cmdStart.caption = QStringLiteral("Start");
    setVisible({&m.Label25, &m.txtSSample}, true);
    m.FrameStore.caption = QString::fromLatin1(modeInfo(LoggerPage0 + page)->caption);
    m.MSFlexGrid1.setRowCount(101);
    m.HScroll1Max = 99;
    writeRecordHeaders();
    m.CurrentMode = static_cast<qint16>(LoggerPage0 + page);
    blankStorePanels(true);
    m.notify();
}

void ModeSwitch::toSingleLogger(int page)
{
    ScreenModel &m = m_model;
    stopRequest(false);
    m.FrameStore.visible = false;
    m.FrameSL.visible = true;
    setVisible({&m.txtSLTime, &m.txtSLDate, &m.Label26, &m.Label27, &m.Label28, &m.txtSLSample,
                &m.Label37, &m.txtSLUnit},
               true);
    m.cmdChart.enabled = true;
    m.cmdStart.caption = QStringLiteral("Start");
    m.MSFlexGrid2.setVisible(false);
    m.MSFlexGrid3.setVisible(true);
    m.FrameSL.caption = QString::fromLatin1(modeInfo(SingleLoggerPage0 + page)->caption);
    m.MSFlexGrid3.writeHeaders(headerList(kSingleLoggerHeaders));
    m.CurrentMode = static_cast<qint16>(SingleLoggerPage0 + page);
    blank({&m.txtSLMeasure, &m.txtSLDate, &m.txtSLTime, &m.txtSLSample, &m.txtSLUnit});
    m.notify();
}

void ModeSwitch::toTightness()
{
    ScreenModel &m = m_model;
    stopRequest(false);
    m.MSFlexGrid2.setColumnCount(6);
    m.FrameStore.visible = false;
    m.FrameSL.visible = true;
    setVisible({&m.txtSLTime, &m.txtSLDate, &m.Label26, &m.Label27, &m.Label28, &m.txtSLSample,
                &m.Label37, &m.txtSLUnit},
               false);
    m.cmdChart.enabled = false;
    m.cmdStart.caption = QStringLiteral("Start");
    m.MSFlexGrid2.setVisible(true);
    m.MSFlexGrid3.setVisible(false);
    m.FrameSL.caption = QString::fromLatin1(modeInfo(Tightness)->caption);
    m.MSFlexGrid2.writeHeaders(headerList(kTightnessHeaders));
    m.CurrentMode = Tightness;
    m.txtSLMeasure.caption.clear();
    m.notify();
}
