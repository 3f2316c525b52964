#pragma once

#include <QDialog>

class HeaderWriter;
class QLineEdit;
class QPushButton;

// The "Printer Header" window: one frame per header line, each with its input box, result box
// and "OK" button, and "End Write" to leave. It shows the header writer's texts and hands the
// clicks to it; the writing and the echo check are the writer's.
class frmHeader : public QDialog {
    Q_OBJECT
public:
    explicit frmHeader(HeaderWriter &writer, QWidget *parent = nullptr);

    // The close box and Escape leave as the frame's close box does.
    void reject() override;

private:
    QWidget *lineFrame(int line, const char *frameName, const QString &caption);
    void render();
    void ok(int line);
    void endWrite();
    void waitForQueuedLine(int result);

    HeaderWriter &m_writer;
    QWidget *m_waitNote = nullptr;
    QPushButton *m_endWrite = nullptr;
    int m_leaveResult = Rejected; // how the user left while a line still waited
    QLineEdit *m_input[2] = {};
    QLineEdit *m_result[2] = {};
    QPushButton *m_ok[2] = {};
};
