#pragma once

class ScreenModel;
class SerialPort;
class Pauses;

// The Mode menu's twelve switches and the start-up layout. A switch ends a live stream that
// may still run, lays the window out for the new mode, empties its table and fields, writes
// the headers and sets CurrentMode. It never opens or closes the port.
class ModeSwitch {
public:
    ModeSwitch(ScreenModel &model, SerialPort &port, const Pauses &pauses);

    // The layout in force when the main window has loaded: Real Mode, blank panels.
    void startUp();

    // Switches to mode code 0 to 11; another number does nothing.
    void switchTo(int code);

    void toReal();
    void toStore();
    void toLogger(int page);
    void toSingleLogger(int page);
    void toTightness();

    static const char *const kRecordHeaders[15];
    static const char *const kTightnessHeaders[6];
    static const char *const kSingleLoggerHeaders[3];

private:
    void stopRequest(bool storeSwitch);
    void writeRecordHeaders();
    void blankStorePanels(bool logger);

    ScreenModel &m_model;
    SerialPort &m_port;
    const Pauses &m_pauses;
};
