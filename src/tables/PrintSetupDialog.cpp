#include "tables/PrintSetupDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QPageSize::PageSizeId kPapers[] = {QPageSize::A4, QPageSize::Letter, QPageSize::Legal,
                                         QPageSize::A3, QPageSize::A5};
}

PrintSetupDialog::PrintSetupDialog(const QPrinter &printer, QWidget *parent)
    : QDialog(parent), m_printers(new QComboBox), m_paper(new QComboBox),
      m_orientation(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("OpenLog"));
    setWindowTitle(QStringLiteral("Print Setup"));

    m_printers->setObjectName(QStringLiteral("printerName"));
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty()) {
        m_printers->addItem(QStringLiteral("No printer installed: Print offers a PDF file"));
        m_printers->setEnabled(false);
    }
    const QString chosen = printer.printerName().isEmpty() ? QPrinterInfo::defaultPrinterName()
                                                           : printer.printerName();
    for (const QString &name : names) {
        m_printers->addItem(name, name);
        if (name == chosen) m_printers->setCurrentIndex(m_printers->count() - 1);
    }

    m_paper->setObjectName(QStringLiteral("paperSize"));
    const QPageSize::PageSizeId current = printer.pageLayout().pageSize().id();
    for (const QPageSize::PageSizeId id : kPapers) {
        m_paper->addItem(QPageSize::name(id), int(id));
        if (id == current) m_paper->setCurrentIndex(m_paper->count() - 1);
    }

    auto *portrait = new QRadioButton(QStringLiteral("&Portrait"));
    portrait->setObjectName(QStringLiteral("portrait"));
    auto *landscape = new QRadioButton(QStringLiteral("&Landscape"));
    landscape->setObjectName(QStringLiteral("landscape"));
    m_orientation->addButton(portrait, QPageLayout::Portrait);
    m_orientation->addButton(landscape, QPageLayout::Landscape);
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape : portrait)
        ->setChecked(true);
    auto *orientation = new QHBoxLayout;
    orientation->addWidget(portrait);
    orientation->addWidget(landscape);
    orientation->addStretch();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("P&rinter:"), m_printers);
    form->addRow(QStringLiteral("Paper &size:"), m_paper);
    form->addRow(QStringLiteral("Orientation:"), orientation);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void PrintSetupDialog::applyTo(QPrinter &printer) const
{
    const QString name = m_printers->currentData().toString();
    if (!name.isEmpty()) {
        printer.setOutputFileName(QString());
        printer.setPrinterName(name);
    }
    printer.setPageSize(QPageSize(QPageSize::PageSizeId(m_paper->currentData().toInt())));
    printer.setPageOrientation(QPageLayout::Orientation(m_orientation->checkedId()));
}
