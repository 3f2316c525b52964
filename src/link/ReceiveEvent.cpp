#include "link/ReceiveEvent.h"

#include "app/ScreenModel.h"
#include "tables/Modes.h"

void takeReceived(ScreenModel &m, const QByteArray &bytes)
{
    m.ReceivedCount += static_cast<qint32>(bytes.size());
    m.ReceiveBuffer += bytes;
    m.LinkQuiet = false;
    if (m.CurrentMode != Real) return;
    if (m.Shape1Fill == LampColour::Green)
        m.Shape1Fill = LampColour::MenuColour;
    else if (m.Shape1Fill == LampColour::MenuColour)
        m.Shape1Fill = LampColour::Green;
}
