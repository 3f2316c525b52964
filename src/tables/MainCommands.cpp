#include "tables/MainCommands.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "link/SerialPort.h"
#include "protocol/ReceptionPass.h"
#include "tables/Modes.h"

#include <algorithm>

MainCommands::MainCommands(ScreenModel &model, SerialPort &port, MessageSink &messages,
                           ReceptionPass &reception)
    : m_model(model), m_port(port), m_messages(messages), m_reception(reception)
{
}

bool MainCommands::chart()
{
    const int mode = m_model.CurrentMode;
    if (mode == Real || mode == Store) {
        m_messages.show(QStringLiteral("Chart"), QStringLiteral("Not Support !"),
                        MessageIcon::Information);
        return false;
    }
    return mode >= LoggerPage0 && mode <= Tightness;
}

void MainCommands::browse(int value)
{
    ScreenModel &m = m_model;
    // The scroll bar cannot leave its range; neither can a value the program sets.
    m.HScroll1Value = std::clamp(value, 0, m.HScroll1Max);
    m.CurrentRow = static_cast<qint16>(m.HScroll1Value);
    m_reception.showBrowseRow();
    m.notify();
}

void MainCommands::exit()
{
    m_port.close();
}
