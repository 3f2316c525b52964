#include "link/frmComm.h"

#include "link/ConnectionTest.h"
#include "link/PortResolver.h"
#include "link/frmDevices.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmComm::frmComm(const CommChoice &shown, const PortDiscovery &discovery, PortFactory makePort,
                 QWidget *parent)
    : QDialog(parent), m_discovery(discovery), m_makePort(std::move(makePort)),
      m_ports(new QButtonGroup(this)), m_speeds(new QButtonGroup(this)),
      m_links(new QButtonGroup(this)), m_testResult(new QLabel(this))
{
    setObjectName(QStringLiteral("frmComm"));
    setWindowTitle(QStringLiteral("Communication"));
    setModal(true);

    auto *frames = new QHBoxLayout;
    QWidget *portFrame = optionFrame("SSFrame1", QStringLiteral("Communication Port"), m_ports,
                                     {{"OptCom1", QStringLiteral(" Com1")},
                                      {"OptCom2", QStringLiteral(" Com2")},
                                      {"OptCom3", QStringLiteral(" Com3")},
                                      {"OptCom4", QStringLiteral(" Com4")},
                                      {"OptCom5", QStringLiteral(" Com5")},
                                      {"OptCom6", QStringLiteral(" Com6")}});
    addDeviceLabels(portFrame);
    frames->addWidget(portFrame);
    frames->addWidget(optionFrame("SSFrame2", QStringLiteral("RS232 Baud Rate"), m_speeds,
                                  {{"Opt48", QStringLiteral(" 4800")},
                                   {"Opt96", QStringLiteral(" 9600")},
                                   {"Opt192", QStringLiteral(" 19200")},
                                   {"Opt384", QStringLiteral(" 38400")}}));
    frames->addWidget(optionFrame(
        "SSFrame3", QStringLiteral("Communication Select"), m_links,
        {{"OptIRDA", QStringLiteral("IRDA")}, {"OptBlue", QStringLiteral("Bluetooth")}}));

    m_testResult->setObjectName(QStringLiteral("labTestResult"));
    m_testResult->setWordWrap(true);
    m_testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addWidget(m_testResult);
    layout->addLayout(buttonRow());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Out-of-range values never reach here: the caller shows the initial choices instead.
    if (QAbstractButton *b = m_ports->button(shown.portNumber)) b->setChecked(true);
    if (QAbstractButton *b = m_speeds->button(shown.baudIndex)) b->setChecked(true);
    if (QAbstractButton *b = m_links->button(shown.linkType)) b->setChecked(true);

    // Adapters come and go while the window is open; the labels follow them.
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &frmComm::refresh);
    m_poll.start();
    refresh();
}

frmComm::~frmComm() = default;

QLayout *frmComm::buttonRow()
{
    auto *devices = new QPushButton(QStringLiteral("&Devices..."), this);
    devices->setObjectName(QStringLiteral("cmdDevices"));
    connect(devices, &QPushButton::clicked, this, &frmComm::openDevices);
    m_testButton = new QPushButton(QStringLiteral("&Test connection"), this);
    m_testButton->setObjectName(QStringLiteral("cmdTest"));
    m_testButton->setAutoDefault(false);
    devices->setAutoDefault(false);
    connect(m_testButton, &QPushButton::clicked, this, &frmComm::testConnection);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("scComSet"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(devices);
    buttons->addWidget(m_testButton);
    buttons->addStretch();
    buttons->addWidget(ok);
    return buttons;
}

QWidget *frmComm::optionFrame(const char *name, const QString &caption, QButtonGroup *group,
                              const QList<QPair<const char *, QString>> &options)
{
    auto *frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(name));
    auto *grid = new QGridLayout(frame);
    int id = 1;
    for (const auto &[optionName, optionCaption] : options) {
        auto *option = new QRadioButton(optionCaption, frame);
        option->setObjectName(QString::fromLatin1(optionName));
        group->addButton(option, id);
        grid->addWidget(option, id - 1, 0);
        ++id;
    }
    grid->setRowStretch(id - 1, 1);
    return frame;
}

// One label per port option, in the column beside it: "labCom1" to "labCom6".
void frmComm::addDeviceLabels(QWidget *portFrame)
{
    auto *grid = static_cast<QGridLayout *>(portFrame->layout());
    for (int number = 1; number <= 6; ++number) {
        auto *label = new QLabel(portFrame);
        label->setObjectName(QStringLiteral("labCom%1").arg(number));
        grid->addWidget(label, number - 1, 1);
        m_deviceLabels << label;
    }
    grid->setColumnMinimumWidth(1, 220);
}

void frmComm::refresh()
{
    const PortResolver resolver(m_discovery, PortAssignments::load());
    for (int number = 1; number <= 6; ++number) {
        const ResolvedPort r = resolver.resolve(number);
        QLabel *label = m_deviceLabels.at(number - 1);
        label->setText(r.summary());
        label->setToolTip(r.details());
        // Each port option tells which device it opens.
        m_ports->button(number)->setToolTip(r.device);
    }
}

void frmComm::openDevices()
{
    frmDevices devices(m_discovery, PortAssignments::load(), choice().portNumber, this);
    if (devices.exec() != QDialog::Accepted) return;
    QString error;
    if (!devices.assignments().save(&error)) {
        QMessageBox::warning(this, QStringLiteral("Devices"),
                             QStringLiteral("The assignments could not be kept: %1").arg(error));
        return;
    }
    // The number just given is the one the user means to use.
    if (QAbstractButton *b = m_ports->button(devices.assignedCom())) b->setChecked(true);
    refresh();
}

void frmComm::testConnection()
{
    m_test = std::make_unique<ConnectionTest>(m_makePort(), choice());
    connect(m_test.get(), &ConnectionTest::finished, this, &frmComm::showTestResult);
    m_testButton->setEnabled(false);
    m_testResult->setText(QStringLiteral("Testing %1 ...").arg(m_test->portName()));
    m_test->start();
}

void frmComm::showTestResult()
{
    m_testResult->setText(m_test->result().text);
    m_testButton->setEnabled(true);
    refresh();
}

CommChoice frmComm::choice() const
{
    CommChoice c;
    c.portNumber = m_ports->checkedId() > 0 ? m_ports->checkedId() : 1;
    c.baudIndex = m_speeds->checkedId() > 0 ? m_speeds->checkedId() : 2;
    c.linkType = m_links->checkedId() > 0 ? m_links->checkedId() : 1;
    return c;
}
