#include "link/frmDevices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { Device, Description, Manufacturer, Serial, UsbIds, State, Com, ColumnCount };
}

frmDevices::frmDevices(const PortDiscovery &discovery, const PortAssignments &assignments, int com,
                       QWidget *parent)
    : QDialog(parent), m_discovery(discovery), m_assignments(assignments),
      m_table(new QTableWidget(0, ColumnCount, this)), m_com(new QComboBox(this)),
      m_empty(new QLabel(QStringLiteral("No serial port found. Plug the adapter in; the list "
                                        "follows."),
                         this))
{
    setObjectName(QStringLiteral("frmDevices"));
    setWindowTitle(QStringLiteral("Devices"));
    m_table->setObjectName(QStringLiteral("lstDevices"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"),
                                        QStringLiteral("Manufacturer"),
                                        QStringLiteral("Serial number"), QStringLiteral("USB ids"),
                                        QStringLiteral("State"), QStringLiteral("COM")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumWidth(640);
    m_empty->setObjectName(QStringLiteral("labNoDevices"));

    m_com->setObjectName(QStringLiteral("cboCom"));
    for (int n = 1; n <= PortAssignments::kComCount; ++n)
        m_com->addItem(QStringLiteral("COM%1").arg(n), n);
    m_com->setCurrentIndex(qBound(1, com, PortAssignments::kComCount) - 1);
    auto *comLabel = new QLabel(QStringLiteral("&COM number:"), this);
    comLabel->setBuddy(m_com);
    auto *assign = new QPushButton(QStringLiteral("&Assign"), this);
    assign->setObjectName(QStringLiteral("cmdAssign"));
    auto *clear = new QPushButton(QStringLiteral("&Free the number"), this);
    clear->setObjectName(QStringLiteral("cmdFree"));
    connect(assign, &QPushButton::clicked, this, &frmDevices::assignSelected);
    connect(clear, &QPushButton::clicked, this, &frmDevices::clearCom);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &frmDevices::assignSelected);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(comLabel);
    row->addWidget(m_com);
    row->addWidget(assign);
    row->addWidget(clear);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_empty);
    layout->addLayout(row);
    layout->addWidget(buttons);

    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &frmDevices::refresh);
    m_poll.start();
    refresh();
    if (m_table->rowCount() > 0) m_table->selectRow(0);
}

void frmDevices::refresh()
{
    const int selected = m_table->currentRow();
    const QString selectedDevice =
        selected >= 0 && selected < m_ports.size() ? m_ports.at(selected).device : QString();
    m_ports = m_discovery.ports();
    m_table->setRowCount(static_cast<int>(m_ports.size()));
    for (int row = 0; row < m_ports.size(); ++row) {
        fillRow(row, m_ports.at(row));
        if (m_ports.at(row).device == selectedDevice) m_table->selectRow(row);
    }
    m_empty->setVisible(m_ports.isEmpty());
}

void frmDevices::fillRow(int row, const DiscoveredPort &port)
{
    const int com = m_assignments.comOf(port);
    const QStringList cells{port.device,
                            port.description,
                            port.manufacturer,
                            port.serialNumber,
                            port.usbIds(),
                            port.busy ? QStringLiteral("busy") : QStringLiteral("free"),
                            com ? QStringLiteral("COM%1").arg(com) : QString()};
    for (int column = 0; column < ColumnCount; ++column) {
        auto *item = m_table->item(row, column);
        if (!item) m_table->setItem(row, column, item = new QTableWidgetItem);
        item->setText(cells.at(column));
    }
}

void frmDevices::assignSelected()
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_ports.size()) return;
    m_assignedCom = m_com->currentData().toInt();
    m_assignments.assign(m_assignedCom, m_ports.at(row));
    refresh();
}

void frmDevices::clearCom()
{
    m_assignments.clear(m_com->currentData().toInt());
    refresh();
}
