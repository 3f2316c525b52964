#include "link/frmComm.h"

#include "link/DevicePort.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmComm::frmComm(const CommChoice &shown, QWidget *parent)
    : QDialog(parent), m_ports(new QButtonGroup(this)), m_speeds(new QButtonGroup(this)),
      m_links(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("frmComm"));
    setWindowTitle(QStringLiteral("Communication"));
    setModal(true);

    auto *frames = new QHBoxLayout;
    frames->addWidget(optionFrame("SSFrame1", QStringLiteral("Communication Port"), m_ports,
                                  {{"OptCom1", QStringLiteral(" Com1")},
                                   {"OptCom2", QStringLiteral(" Com2")},
                                   {"OptCom3", QStringLiteral(" Com3")},
                                   {"OptCom4", QStringLiteral(" Com4")},
                                   {"OptCom5", QStringLiteral(" Com5")},
                                   {"OptCom6", QStringLiteral(" Com6")}}));
    frames->addWidget(optionFrame("SSFrame2", QStringLiteral("RS232 Baud Rate"), m_speeds,
                                  {{"Opt48", QStringLiteral(" 4800")},
                                   {"Opt96", QStringLiteral(" 9600")},
                                   {"Opt192", QStringLiteral(" 19200")},
                                   {"Opt384", QStringLiteral(" 38400")}}));
    frames->addWidget(optionFrame(
        "SSFrame3", QStringLiteral("Communication Select"), m_links,
        {{"OptIRDA", QStringLiteral("IRDA")}, {"OptBlue", QStringLiteral("Bluetooth")}}));

    // Each port option tells which device it opens.
    for (int number = 1; number <= 6; ++number)
        m_ports->button(number)->setToolTip(DevicePort::deviceFor(number));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("scComSet"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Out-of-range values never reach here: the caller shows the initial choices instead.
    if (QAbstractButton *b = m_ports->button(shown.portNumber)) b->setChecked(true);
    if (QAbstractButton *b = m_speeds->button(shown.baudIndex)) b->setChecked(true);
    if (QAbstractButton *b = m_links->button(shown.linkType)) b->setChecked(true);
}

QWidget *frmComm::optionFrame(const char *name, const QString &caption, QButtonGroup *group,
                              const QList<QPair<const char *, QString>> &options)
{
    auto *frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(name));
    auto *column = new QVBoxLayout(frame);
    int id = 1;
    for (const auto &[optionName, optionCaption] : options) {
        auto *option = new QRadioButton(optionCaption, frame);
        option->setObjectName(QString::fromLatin1(optionName));
        group->addButton(option, id++);
        column->addWidget(option);
    }
    column->addStretch();
    return frame;
}

CommChoice frmComm::choice() const
{
    CommChoice c;
    c.portNumber = m_ports->checkedId() > 0 ? m_ports->checkedId() : 1;
    c.baudIndex = m_speeds->checkedId() > 0 ? m_speeds->checkedId() : 2;
    c.linkType = m_links->checkedId() > 0 ? m_links->checkedId() : 1;
    return c;
}
