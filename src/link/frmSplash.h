#pragma once

#include <QWidget>

class QLabel;
class ScreenModel;

// The transfer progress window "Communication...": shown while a download arrives, following
// model.frmSplash. It is a window of its own rather than a child of the main window, so that
// disabling the main window while it is open does not grey it out as well.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash(ScreenModel &model, QWidget *mainWindow);

    // Shows, hides and captions the window as the model says.
    void sync();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void placeOverMainWindow();

    ScreenModel &m_model;
    QWidget *m_mainWindow;
    QLabel *m_image;
    QLabel *m_label;
};
