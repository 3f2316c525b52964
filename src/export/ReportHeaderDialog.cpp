#include "export/ReportHeaderDialog.h"

#include "export/ExportPreferences.h"
#include "export/ReportHeader.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

ReportHeaderDialog::ReportHeaderDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Report Header"));
    const ReportHeader header = ReportHeader::load();
    m_company = new QLineEdit(header.company, this);
    m_address = new QLineEdit(header.address, this);
    m_telephone = new QLineEdit(header.telephone, this);
    m_logo = new QLineEdit(header.logoPath, this);
    m_logo->setPlaceholderText(QStringLiteral("no logo"));
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browse, &QPushButton::clicked, this, &ReportHeaderDialog::browseLogo);
    auto *logoRow = new QHBoxLayout;
    logoRow->addWidget(m_logo, 1);
    logoRow->addWidget(browse);

    QDialogButtonBox *buttons = okCancel(this, [this] { save(); });
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Company:"), m_company);
    form->addRow(QStringLiteral("&Address:"), m_address);
    form->addRow(QStringLiteral("&Telephone:"), m_telephone);
    form->addRow(QStringLiteral("&Logo:"), logoRow);
    form->addRow(buttons);
    resize(480, sizeHint().height());
}

void ReportHeaderDialog::browseLogo()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Logo"), m_logo->text(),
        QStringLiteral("Images (*.png *.jpg *.jpeg *.bmp *.gif *.svg)"));
    if (!path.isEmpty()) m_logo->setText(path);
}

void ReportHeaderDialog::save()
{
    ReportHeader header;
    header.company = m_company->text().trimmed();
    header.address = m_address->text().trimmed();
    header.telephone = m_telephone->text().trimmed();
    header.logoPath = m_logo->text().trimmed();
    header.save();
}
