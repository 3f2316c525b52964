#include "export/CsvOptionsDialog.h"

#include "export/ExportPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLocale>

namespace {
const char kDelimiter[] = "export/csvDelimiter"; // "" follows the locale
const char kDecimal[] = "export/csvDecimal";
const char kBom[] = "export/csvByteOrderMark";
} // namespace

CsvOptions CsvOptionsDialog::saved()
{
    CsvOptions options = CsvOptions::forLocale(QLocale());
    QSettings s = exportPreferences();
    const QString delimiter = s.value(kDelimiter).toString();
    const QString decimal = s.value(kDecimal).toString();
    if (delimiter.size() == 1) options.delimiter = delimiter.front();
    if (decimal.size() == 1) options.decimal = decimal.front();
    options.byteOrderMark = s.value(kBom, false).toBool();
    return options;
}

CsvOptionsDialog::CsvOptionsDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("CSV Options"));
    m_delimiter = new QComboBox(this);
    m_delimiter->addItem(QStringLiteral("As the locale uses"), QString());
    m_delimiter->addItem(QStringLiteral("Comma  ,"), QStringLiteral(","));
    m_delimiter->addItem(QStringLiteral("Semicolon  ;"), QStringLiteral(";"));
    m_delimiter->addItem(QStringLiteral("Tab"), QStringLiteral("\t"));
    m_decimal = new QComboBox(this);
    m_decimal->addItem(QStringLiteral("As the locale uses"), QString());
    m_decimal->addItem(QStringLiteral("Point  ."), QStringLiteral("."));
    m_decimal->addItem(QStringLiteral("Comma  ,"), QStringLiteral(","));
    m_bom = new QCheckBox(QStringLiteral("Start with a byte-order mark (some spreadsheets need it "
                                         "to read UTF-8)"),
                          this);
    QSettings s = exportPreferences();
    m_delimiter->setCurrentIndex(qMax(0, m_delimiter->findData(s.value(kDelimiter).toString())));
    m_decimal->setCurrentIndex(qMax(0, m_decimal->findData(s.value(kDecimal).toString())));
    m_bom->setChecked(s.value(kBom, false).toBool());

    QDialogButtonBox *buttons = okCancel(this, [this] { save(); });
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Delimiter:"), m_delimiter);
    form->addRow(QStringLiteral("D&ecimal mark:"), m_decimal);
    form->addRow(m_bom);
    form->addRow(buttons);
}

void CsvOptionsDialog::save()
{
    QSettings s = exportPreferences();
    s.setValue(kDelimiter, m_delimiter->currentData().toString());
    s.setValue(kDecimal, m_decimal->currentData().toString());
    s.setValue(kBom, m_bom->isChecked());
}
