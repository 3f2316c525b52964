#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QPrinter;

// Print Setup: picks the printer that Print uses and its page (paper size and orientation).
// It prints nothing and offers no file output; without any printer installed it says that
// Print will offer a PDF file instead.
class PrintSetupDialog : public QDialog {
    Q_OBJECT
public:
    PrintSetupDialog(const QPrinter &printer, QWidget *parent = nullptr);

    // Puts the choice into the printer Print uses.
    void applyTo(QPrinter &printer) const;

private:
    QComboBox *m_printers;
    QComboBox *m_paper;
    QButtonGroup *m_orientation;
};
