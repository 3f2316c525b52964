#pragma once

#include "export/CsvExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// The CSV options of the Export menu: delimiter and decimal mark (the locale's by default) and
// the byte-order mark. Kept in the user's settings.
class CsvOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CsvOptionsDialog(QWidget *parent = nullptr);

    // The saved options, the locale's delimiter and decimal mark where none is saved.
    static CsvOptions saved();

private:
    void save();

    QComboBox *m_delimiter;
    QComboBox *m_decimal;
    QCheckBox *m_bom;
};
