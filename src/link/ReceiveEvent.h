#pragma once

#include <QByteArray>

class ScreenModel;

// What a receive event does to the window: the characters join ReceiveBuffer, the link is
// no longer quiet, and in Real Mode the receive lamp blinks. The receive timer is the
// caller's.
void takeReceived(ScreenModel &model, const QByteArray &bytes);
