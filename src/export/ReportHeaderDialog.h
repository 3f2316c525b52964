#pragma once

#include <QDialog>

class QLineEdit;

// Report > Header: the company name, address, telephone and logo printed at the top of every
// measurement report. Opens with the saved heading, or the instrument's header lines.
class ReportHeaderDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportHeaderDialog(QWidget *parent = nullptr);

private:
    void browseLogo();
    void save();

    QLineEdit *m_company;
    QLineEdit *m_address;
    QLineEdit *m_telephone;
    QLineEdit *m_logo;
};
