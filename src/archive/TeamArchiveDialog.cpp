#include "archive/TeamArchiveDialog.h"

#include "app/ProgramSettings.h"
#include "archive/TeamSync.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

TeamArchiveDialog::TeamArchiveDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("teamArchiveDialog"));
    setWindowTitle(QStringLiteral("Team archive settings"));
    m_url =
        new QLineEdit(ProgramSettings().value(QLatin1String(TeamSync::kSettingsKey)).toString());
    m_url->setObjectName(QStringLiteral("teamUrl"));
    m_url->setPlaceholderText(QStringLiteral("postgresql://user@host:5432/database"));
    m_url->setMinimumWidth(360);
    auto *password = new QLabel(TeamConnection::passwordNote());
    password->setObjectName(QStringLiteral("teamPassword"));
    password->setWordWrap(true);
    m_test = new QPushButton(QStringLiteral("&Test connection"));
    m_test->setObjectName(QStringLiteral("teamTest"));
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("teamTestResult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    buttons->addButton(m_test, QDialogButtonBox::ActionRole);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Team archive &URL:"), m_url);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(password);
    if (qEnvironmentVariableIsSet("NRV508_TEAM_ARCHIVE"))
        layout->addWidget(new QLabel(QStringLiteral("NRV508_TEAM_ARCHIVE is set and is used "
                                                    "instead of this setting.")));
    layout->addWidget(m_result, 1);
    layout->addWidget(buttons);

    connect(m_test, &QPushButton::clicked, this, &TeamArchiveDialog::test);
    connect(buttons, &QDialogButtonBox::accepted, this, &TeamArchiveDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &TeamArchiveDialog::tested, this, &TeamArchiveDialog::showResult);
}

TeamArchiveDialog::~TeamArchiveDialog()
{
    // A test under way ends within the connection's time-out; its answer goes nowhere.
    for (QThread *thread : findChildren<QThread *>())
        thread->wait();
}

void TeamArchiveDialog::test()
{
    if (m_testing) return;
    m_testing = true;
    m_test->setEnabled(false);
    const QString location = m_url->text().trimmed();
    m_result->setText(QStringLiteral("Connecting to %1...").arg(location));
    // The server may take seconds to answer, or not answer at all: the window stays usable.
    QThread *thread =
        QThread::create([this, location] { emit tested(TeamConnection::probe(location)); });
    thread->setParent(this);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void TeamArchiveDialog::showResult(const TeamConnection::Result &result)
{
    m_testing = false;
    m_test->setEnabled(true);
    m_result->setText(result.message);
}

void TeamArchiveDialog::save()
{
    const QString location = m_url->text().trimmed();
    QString error;
    if (!TeamSync::configure(location, &error)) {
        m_result->setText(error);
        m_url->setFocus();
        return;
    }
    m_saved = location;
    accept();
}
