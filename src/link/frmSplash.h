#pragma once

#include <QTimer>
#include <QWidget>

class AnswerProgress;
class QLabel;
class ScreenModel;

// The transfer progress window "Communication...": shown while a download arrives, following
// model.frmSplash. It is a window of its own rather than a child of the main window, so that
// disabling the main window while it is open does not grey it out as well.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // progress: what of the answer has arrived, shown under "Wait . . ." (none: not shown).
    frmSplash(ScreenModel &model, QWidget *mainWindow, const AnswerProgress *progress = nullptr);

    // Shows, hides and captions the window as the model says.
    void sync();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void placeOverMainWindow();
    void showProgress();

    ScreenModel &m_model;
    QWidget *m_mainWindow;
    QLabel *m_image;
    QLabel *m_label;
    const AnswerProgress *m_progress;
    QLabel *m_progressLabel;
    QTimer m_clock; // the elapsed time goes on while nothing arrives
};
