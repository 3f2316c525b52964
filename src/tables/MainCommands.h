#pragma once

class MessageSink;
class ReceptionPass;
class ScreenModel;
class SerialPort;

// The main window's own commands that are no mode switch and no transfer: the Chart button's
// mode rule, browsing with the scroll bar, and Exit's port close.
class MainCommands {
public:
    MainCommands(ScreenModel &model, SerialPort &port, MessageSink &messages,
                 ReceptionPass &reception);

    // The Chart button: true when the chart window is to open. Real and Store have no chart
    // and say so; a number that is no mode does nothing.
    bool chart();

    // A new value of HScroll1, from the user or the program: the browse panels follow it.
    void browse(int value);

    // Exit: the port closes before the window does.
    void exit();

private:
    ScreenModel &m_model;
    SerialPort &m_port;
    MessageSink &m_messages;
    ReceptionPass &m_reception;
};
